// The sound's way through the graph at speeds other than normal. The stock sound renderer would
// play at its own pace, so it leaves the graph: in its place a Sample Grabber hands the decoded
// sound to our player and a Null Renderer without a clock takes it on, so that the decoder runs
// ahead of the clock as far as the player's queue lets it. At normal speed a stock renderer
// comes back.
#include <dshow.h>
#include <qedit.h>

#include "engine.h"

namespace {

// The stock sound renderer of the graph: the filter with IBasicAudio whose input is connected.
IBaseFilter *FindSoundRenderer(IPin **feed)
{
    IEnumFilters *filters = NULL;
    IBaseFilter *filter = NULL, *found = NULL;
    if (FAILED(g_engine.graph->EnumFilters(&filters)))
        return NULL;
    while (!found && filters->Next(1, &filter, NULL) == S_OK) {
        IBasicAudio *audio = NULL;
        if (SUCCEEDED(filter->QueryInterface(IID_IBasicAudio, (void **)&audio))) {
            audio->Release();
            IPin *in = FindPin(filter, PINDIR_INPUT, false);
            if (in && SUCCEEDED(in->ConnectedTo(feed)) && *feed) {
                found = filter;
                found->AddRef();
            }
            Release(in);
        }
        filter->Release();
    }
    filters->Release();
    return found;
}

// The 16-bit PCM the grabber agreed on: its rate and channels; false for anything else.
bool ReadPcm(ISampleGrabber *grabber, int *rate, int *channels)
{
    WAVEFORMATEX format;
    if (!GrabbedFormat(grabber, &format))
        return false;
    *rate = (int)format.nSamplesPerSec;
    *channels = format.nChannels;
    return format.wBitsPerSample == 16 && *rate > 0 && *channels > 0;
}

// Takes the grabber and its sink out of the graph, and whatever the graph put between the feed
// and the grabber.
void RemoveRoute()
{
    SoundRoute &r = g_engine.soundRoute;
    IPin *peer = NULL;
    if (r.feed && SUCCEEDED(r.feed->ConnectedTo(&peer)) && peer) {
        PIN_INFO info = {};
        if (SUCCEEDED(peer->QueryPinInfo(&info)) && info.pFilter) {
            if (info.pFilter != r.grabber)
                g_engine.graph->RemoveFilter(info.pFilter);  // a converter it put in
            info.pFilter->Release();
        }
        peer->Release();
    }
    if (r.grabber) {
        ISampleGrabber *grabber = NULL;
        if (SUCCEEDED(r.grabber->QueryInterface(__uuidof(ISampleGrabber), (void **)&grabber))) {
            grabber->SetCallback(NULL, 0);
            grabber->Release();
        }
        g_engine.graph->RemoveFilter(r.grabber);
    }
    if (r.sink)
        g_engine.graph->RemoveFilter(r.sink);
    Release(r.grabber);
    Release(r.sink);
    if (r.player)
        StopStretchedSound(r.player);
    r.player = NULL;
}

// Grabber and clockless sink in the graph, fed from feed, with 16-bit PCM in between.
bool BuildRoute(IReferenceClock *clock, double speed)
{
    Engine &e = g_engine;
    SoundRoute &r = e.soundRoute;
    AM_MEDIA_TYPE pcm = {};
    pcm.majortype = MEDIATYPE_Audio;
    pcm.subtype = MEDIASUBTYPE_PCM;
    ISampleGrabber *grabber = NULL;
    IPin *grabberIn = NULL, *grabberOut = NULL, *sinkIn = NULL;
    int rate = 0, channels = 0;
    bool built =
        SUCCEEDED(CoCreateInstance(SAMPLE_GRABBER_CLSID, NULL, CLSCTX_INPROC_SERVER,
                                   IID_IBaseFilter, (void **)&r.grabber)) &&
        SUCCEEDED(CoCreateInstance(NULL_RENDERER_CLSID, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   (void **)&r.sink)) &&
        SUCCEEDED(r.grabber->QueryInterface(__uuidof(ISampleGrabber), (void **)&grabber)) &&
        SUCCEEDED(grabber->SetMediaType(&pcm)) && SUCCEEDED(grabber->SetBufferSamples(FALSE)) &&
        SUCCEEDED(e.graph->AddFilter(r.grabber, L"Stretched Sound Grabber")) &&
        SUCCEEDED(e.graph->AddFilter(r.sink, L"Stretched Sound Sink")) &&
        (grabberIn = FindPin(r.grabber, PINDIR_INPUT, true)) != NULL &&
        (grabberOut = FindPin(r.grabber, PINDIR_OUTPUT, true)) != NULL &&
        (sinkIn = FindPin(r.sink, PINDIR_INPUT, true)) != NULL &&
        (SUCCEEDED(e.graph->ConnectDirect(r.feed, grabberIn, NULL)) ||
         SUCCEEDED(e.graph->Connect(r.feed, grabberIn))) &&
        SUCCEEDED(e.graph->ConnectDirect(grabberOut, sinkIn, NULL)) &&
        ReadPcm(grabber, &rate, &channels) &&
        // No clock: the sink takes each sample at once and our queue sets the pace.
        SUCCEEDED(r.sink->SetSyncSource(NULL)) &&
        (r.player = StartStretchedSound(rate, channels, clock, speed)) != NULL &&
        SUCCEEDED(grabber->SetCallback(GrabberCallback(r.player), 0));
    Release(sinkIn);
    Release(grabberOut);
    Release(grabberIn);
    Release(grabber);
    return built;
}

}  // namespace

bool RouteSoundToStretcher(IReferenceClock *clock, double speed)
{
    Engine &e = g_engine;
    SoundRoute &r = e.soundRoute;
    if (r.feed)
        return r.player != NULL;
    IBaseFilter *renderer = FindSoundRenderer(&r.feed);
    if (!renderer)
        return false;  // no sound, or no device to play it on
    e.graph->RemoveFilter(renderer);
    renderer->Release();
    if (BuildRoute(clock, speed))
        return true;
    RouteSoundToRenderer();
    return false;
}

// A new stock renderer: under Wine one that has played, left the graph and come back writes
// past the end of its sound buffer.
void RouteSoundToRenderer()
{
    Engine &e = g_engine;
    SoundRoute &r = e.soundRoute;
    if (!r.feed)
        return;
    RemoveRoute();
    IBaseFilter *renderer = NULL;
    IPin *in = NULL;
    if (e.graph &&
        SUCCEEDED(CoCreateInstance(CLSID_DSoundRender, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   (void **)&renderer)) &&
        SUCCEEDED(e.graph->AddFilter(renderer, L"Sound Renderer")) &&
        (in = FindPin(renderer, PINDIR_INPUT, true)) != NULL &&
        FAILED(e.graph->ConnectDirect(r.feed, in, NULL)))
        e.graph->Connect(r.feed, in);
    Release(in);
    Release(renderer);
    Release(r.feed);
}

void ForgetSoundRoute()
{
    RemoveRoute();
    Release(g_engine.soundRoute.feed);
}
