// Which decoder decodes, looked at in the engine's own graph.
//
// Under Wine 8 no hand-built graph with a chosen decoder can play, tried with every clip kind:
//   - "WMVideo Decoder DMO" (through the DMO wrapper) refuses the AVI Splitter's output for
//     Windows Media Video 8 in AVI (no acceptable types); WMV in ASF only opens through the
//     GStreamer splitter, which hands out decoded video;
//   - "AVI Decompressor" refuses the AVI Splitter's output for MS Video 1, and takes Cinepak,
//     but Wine's AVI Splitter then aborts the process as soon as the graph pauses;
//   - Wine 8 has no MPEG-1 video decoder filter for the MPEG-I Stream Splitter.
// So the engine builds the graph by hand only off Wine. These tests prove that the hand-built
// graph connects the chosen decoder (without running it), and that every open under Wine falls
// back to the automatic choice and plays exactly.
#include <gtest/gtest.h>

#include "engine.h"
#include "bound_engine.h"

namespace {

const char AVI_DECOMPRESSOR[] = "AVI Decompressor";

bool Connected(IBaseFilter *filter, PIN_DIRECTION wanted)
{
    IEnumPins *pins = NULL;
    bool connected = false;
    filter->EnumPins(&pins);
    IPin *pin = NULL;
    while (pins && pins->Next(1, &pin, NULL) == S_OK) {
        PIN_DIRECTION direction;
        IPin *peer = NULL;
        pin->QueryDirection(&direction);
        if (direction == wanted && SUCCEEDED(pin->ConnectedTo(&peer)) && peer) {
            connected = true;
            peer->Release();
        }
        pin->Release();
    }
    if (pins)
        pins->Release();
    return connected;
}

std::wstring Wide(const std::string &text) { return std::wstring(text.begin(), text.end()); }

class Decoder : public BoundEngine<> {
};

TEST_F(Decoder, HandBuiltGraphConnectsTheChosenDecoderBetweenSplitterAndRenderer)
{
    ASSERT_TRUE(SUCCEEDED(CreateGraph()));
    IBaseFilter *decoder = CreateDecoderByName(AVI_DECOMPRESSOR);
    ASSERT_TRUE(decoder != NULL);
    EXPECT_TRUE(SUCCEEDED(BuildGraphByHand(Wide(Clip("cinepak.avi")).c_str(), decoder)));
    EXPECT_TRUE(Connected(decoder, PINDIR_INPUT)) << "nothing feeds the decoder";
    EXPECT_TRUE(Connected(decoder, PINDIR_OUTPUT)) << "the decoder feeds nothing";
    EXPECT_TRUE(Connected(g_engine.renderer, PINDIR_INPUT));
    IBaseFilter *splitter = NULL;
    EXPECT_TRUE(SUCCEEDED(g_engine.graph->FindFilterByName(L"Splitter", &splitter)));
    if (splitter)
        splitter->Release();
    decoder->Release();
    CloseGraph();
}

TEST_F(Decoder, ADecoderThatCannotTakeTheFileGivesWayToTheAutomaticChoice)
{
    IBaseFilter *decoder = CreateDecoderByName("WMVideo Decoder DMO");
    ASSERT_TRUE(decoder != NULL) << "the DMO decoders are offered too";
    ASSERT_TRUE(SUCCEEDED(CreateGraph()));
    EXPECT_FALSE(SUCCEEDED(BuildGraphByHand(Wide(Clip("intra25.avi")).c_str(), decoder)));
    decoder->Release();
    CloseGraph();
    EXPECT_EQ(NULL, CreateDecoderByName("not installed"));
}

TEST_F(Decoder, EveryOpenPlaysWithTheAutomaticChoiceUnderWineAndTheChoiceIsUsedOnce)
{
    ASSERT_FALSE(HandBuiltGraphsRun()) << "these cases are for Wine";
    struct {
        const char *decoder, *clip;
    } cases[] = {{AVI_DECOMPRESSOR, "cinepak.avi"}, {"WMVideo Decoder DMO", "wmv.avi"},
                 {AVI_DECOMPRESSOR, "h264.mp4"},   {"not installed", "intra25.avi"},
                 {"", "mpeg4.avi"}};
    for (auto c : cases) {
        QuorvelLoadFilter(c.decoder);
        ASSERT_TRUE(QuorvelSetFile(Clip(c.clip).c_str())) << c.decoder << " on " << c.clip;
        EXPECT_STREQ("", g_engine.decoderInUse) << c.decoder << " on " << c.clip;
        EXPECT_STREQ("", g_engine.nextDecoder) << "the choice outlived its file";
        QuorvelControl(QUORVEL_SEEK, 7);
        EXPECT_EQ(7, PictureFrame(host)) << c.decoder << " on " << c.clip;
    }
}

}  // namespace
