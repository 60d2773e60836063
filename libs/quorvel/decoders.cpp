// Video decoders: every installed filter that takes compressed video and gives video, and every
// video decoder DMO (through the DMO wrapper). A chosen decoder is plugged in by hand: source,
// a splitter that gives compressed video, the decoder, then the renderer.
#include <dmodshow.h>
#include <dmoreg.h>
#include <string.h>

#include "engine.h"

namespace {

const int WIDE_NAME_CHARS = 256;

// Filters that take video and give video without decoding it: tees, the sample grabber, the
// colour converter, and the wrapper that shows each installed compressor (encoder).
const WCHAR *const NOT_DECODERS[] = {
    L"{CC58E280-8AA1-11D1-B3F1-00AA003761C5}",  // Smart Tee
    L"{F8388A40-D5BB-11D0-BE5A-0080C706568E}",  // Infinite Pin Tee
    L"{C1F400A0-3F08-11D3-9F0B-006008039E37}",  // SampleGrabber
    L"{1643E180-90F5-11CE-97D5-00AA0055595A}",  // Color Space Converter
    L"{D76E2820-1563-11CF-AC98-00AA004C0FA9}",  // a video compressor
};

// Splitters that hand out compressed video, tried in this order.
const CLSID *const SPLITTERS[] = {&CLSID_AviSplitter, &CLSID_MPEG1Splitter};

// Called for each decoder with its name (cut to 63 characters); true stops the walk.
typedef bool (*DecoderVisitor)(const char *name, IMoniker *filter, const CLSID *dmo, void *context);

void ShortName(const WCHAR *wide, char *name)
{
    char full[WIDE_NAME_CHARS * 2];
    if (!WideCharToMultiByte(CP_ACP, 0, wide, -1, full, sizeof full, NULL, NULL))
        full[0] = 0;
    int length = 0;
    // Cut at 63 bytes without splitting a double-byte character.
    for (const char *p = full; *p;) {
        const char *next = CharNextA(p);
        if (length + (next - p) > DECODER_NAME_CHARS)
            break;
        length += (int)(next - p);
        p = next;
    }
    memcpy(name, full, length);
    name[length] = 0;
}

bool IsNotDecoder(const WCHAR *clsid)
{
    for (const WCHAR *other : NOT_DECODERS)
        if (lstrcmpiW(clsid, other) == 0)
            return true;
    return false;
}

// The decoder's name, or false when the filter is none.
bool DecoderName(IMoniker *moniker, char *name)
{
    IPropertyBag *bag = NULL;
    name[0] = 0;
    if (FAILED(moniker->BindToStorage(NULL, NULL, IID_IPropertyBag, (void **)&bag)))
        return false;
    VARIANT v;
    VariantInit(&v);
    bool decoder = true;
    if (SUCCEEDED(bag->Read(L"CLSID", &v, NULL)) && v.vt == VT_BSTR && IsNotDecoder(v.bstrVal))
        decoder = false;
    VariantClear(&v);
    if (decoder && SUCCEEDED(bag->Read(L"FriendlyName", &v, NULL)) && v.vt == VT_BSTR)
        ShortName(v.bstrVal, name);
    VariantClear(&v);
    bag->Release();
    return decoder && name[0] != 0;
}

IEnumMoniker *MatchFilters(IFilterMapper2 *mapper, BOOL exact, const GUID *inputTypes, DWORD inputs)
{
    const GUID VIDEO_OUT[2] = {MEDIATYPE_Video, GUID_NULL};
    IEnumMoniker *found = NULL;
    if (FAILED(mapper->EnumMatchingFilters(&found, 0, exact, MERIT_DO_NOT_USE, TRUE, inputs,
                                           inputTypes, NULL, NULL, FALSE, TRUE, 1, VIDEO_OUT, NULL,
                                           NULL)))
        return NULL;
    return found;
}

bool VisitFilters(DecoderVisitor visit, void *context)
{
    IFilterMapper2 *mapper = NULL;
    if (FAILED(CoCreateInstance(CLSID_FilterMapper2, NULL, CLSCTX_INPROC_SERVER,
                                IID_IFilterMapper2, (void **)&mapper)))
        return false;
    const GUID VIDEO_IN[2] = {MEDIATYPE_Video, GUID_NULL};
    IEnumMoniker *decoders = MatchFilters(mapper, FALSE, VIDEO_IN, 1);
    bool stopped = false;
    IMoniker *moniker = NULL;
    char name[DECODER_NAME_CHARS + 1];
    while (!stopped && decoders && decoders->Next(1, &moniker, NULL) == S_OK) {
        if (DecoderName(moniker, name))
            stopped = visit(name, moniker, NULL, context);
        moniker->Release();
    }
    if (decoders)
        decoders->Release();
    mapper->Release();
    return stopped;
}

bool VisitDmos(DecoderVisitor visit, void *context)
{
    IEnumDMO *dmos = NULL;
    if (FAILED(DMOEnum(DMOCATEGORY_VIDEO_DECODER, DMO_ENUMF_INCLUDE_KEYED, 0, NULL, 0, NULL, &dmos)))
        return false;
    bool stopped = false;
    CLSID clsid;
    WCHAR *wide = NULL;
    char name[DECODER_NAME_CHARS + 1];
    while (!stopped && dmos->Next(1, &clsid, &wide, NULL) == S_OK) {
        if (wide) {
            ShortName(wide, name);
            CoTaskMemFree(wide);
            wide = NULL;
            if (name[0])
                stopped = visit(name, NULL, &clsid, context);
        }
    }
    dmos->Release();
    return stopped;
}

void VisitDecoders(DecoderVisitor visit, void *context)
{
    if (!VisitFilters(visit, context))
        VisitDmos(visit, context);
}

bool AddToList(const char *name, IMoniker *, const CLSID *, void *context)
{
    HWND list = (HWND)context;
    if (SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)name) == LB_ERR)
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name);
    return false;
}

struct Wanted {
    const char *name;
    IBaseFilter *filter;
};

IBaseFilter *WrapDmo(const CLSID &clsid)
{
    IBaseFilter *filter = NULL;
    IDMOWrapperFilter *wrapper = NULL;
    if (FAILED(CoCreateInstance(CLSID_DMOWrapperFilter, NULL, CLSCTX_INPROC_SERVER,
                                IID_IBaseFilter, (void **)&filter)))
        return NULL;
    if (SUCCEEDED(filter->QueryInterface(IID_IDMOWrapperFilter, (void **)&wrapper))) {
        HRESULT hr = wrapper->Init(clsid, DMOCATEGORY_VIDEO_DECODER);
        wrapper->Release();
        if (SUCCEEDED(hr))
            return filter;
    }
    filter->Release();
    return NULL;
}

bool TakeIfNamed(const char *name, IMoniker *moniker, const CLSID *dmo, void *context)
{
    Wanted *wanted = (Wanted *)context;
    if (strcmp(name, wanted->name) != 0)
        return false;
    if (moniker)
        moniker->BindToObject(NULL, NULL, IID_IBaseFilter, (void **)&wanted->filter);
    else if (dmo)
        wanted->filter = WrapDmo(*dmo);
    return wanted->filter != NULL;
}

bool Connected(IPin *pin)
{
    IPin *peer = NULL;
    if (FAILED(pin->ConnectedTo(&peer)) || !peer)
        return false;
    peer->Release();
    return true;
}

// Offers each free output pin of the filter to the decoder's input.
bool FeedDecoder(IBaseFilter *from, IPin *decoderIn)
{
    for (int i = 0;; i++) {
        IPin *out = FindPin(from, PINDIR_OUTPUT, true, i);
        if (!out)
            return false;
        HRESULT hr = g_engine.graph->ConnectDirect(out, decoderIn, NULL);
        out->Release();
        if (SUCCEEDED(hr))
            return true;
    }
}

bool ThroughSplitter(IBaseFilter *source, IPin *decoderIn)
{
    for (const CLSID *clsid : SPLITTERS) {
        IBaseFilter *splitter = NULL;
        if (FAILED(CoCreateInstance(*clsid, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                    (void **)&splitter)))
            continue;
        bool fed = false;
        IPin *sourceOut = FindPin(source, PINDIR_OUTPUT, true);
        IPin *splitterIn = FindPin(splitter, PINDIR_INPUT, true);
        if (sourceOut && splitterIn && SUCCEEDED(g_engine.graph->AddFilter(splitter, L"Splitter")) &&
            SUCCEEDED(g_engine.graph->ConnectDirect(sourceOut, splitterIn, NULL)))
            fed = FeedDecoder(splitter, decoderIn);
        if (!fed)
            g_engine.graph->RemoveFilter(splitter);
        if (sourceOut)
            sourceOut->Release();
        if (splitterIn)
            splitterIn->Release();
        if (fed) {
            // The other streams (sound) go wherever the graph can take them; none is needed.
            for (IPin *rest; (rest = FindPin(splitter, PINDIR_OUTPUT, true)) != NULL;) {
                HRESULT hr = g_engine.graph->Render(rest);
                rest->Release();
                if (FAILED(hr))
                    break;
            }
        }
        splitter->Release();
        if (fed)
            return true;
    }
    return false;
}

}  // namespace

IPin *FindPin(IBaseFilter *filter, PIN_DIRECTION wanted, bool unconnected, int skip)
{
    IEnumPins *pins = NULL;
    if (FAILED(filter->EnumPins(&pins)))
        return NULL;
    IPin *pin = NULL, *found = NULL;
    while (!found && pins->Next(1, &pin, NULL) == S_OK) {
        PIN_DIRECTION direction;
        IPin *peer = NULL;
        bool free = true;
        if (SUCCEEDED(pin->ConnectedTo(&peer)) && peer) {
            free = false;
            peer->Release();
        }
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted &&
            (!unconnected || free) && skip-- <= 0)
            found = pin;
        else
            pin->Release();
    }
    pins->Release();
    return found;
}

void ListDecoders(HWND listBox) { VisitDecoders(AddToList, (void *)listBox); }

IBaseFilter *CreateDecoderByName(const char *name)
{
    Wanted wanted = {name, NULL};
    VisitDecoders(TakeIfNamed, &wanted);
    return wanted.filter;
}

HRESULT BuildGraphByHand(const WCHAR *path, IBaseFilter *decoder)
{
    Engine &e = g_engine;
    IBaseFilter *source = NULL;
    HRESULT hr = e.graph->AddSourceFilter(path, L"Source", &source);
    if (FAILED(hr))
        return hr;
    hr = e.graph->AddFilter(decoder, L"Decoder");
    IPin *decoderIn = SUCCEEDED(hr) ? FindPin(decoder, PINDIR_INPUT, true) : NULL;
    bool fed = decoderIn && (FeedDecoder(source, decoderIn) || ThroughSplitter(source, decoderIn));
    hr = fed ? S_OK : VFW_E_CANNOT_CONNECT;
    if (fed) {
        IPin *decoderOut = FindPin(decoder, PINDIR_OUTPUT, true);
        IPin *rendererIn = FindPin(e.renderer, PINDIR_INPUT, true);
        hr = decoderOut && rendererIn ? e.graph->Connect(decoderOut, rendererIn) : E_UNEXPECTED;
        if (decoderOut)
            decoderOut->Release();
        if (rendererIn)
            rendererIn->Release();
    }
    if (SUCCEEDED(hr) && !Connected(decoderIn))
        hr = VFW_E_NOT_CONNECTED;
    if (decoderIn)
        decoderIn->Release();
    source->Release();
    return hr;
}
