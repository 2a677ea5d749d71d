#include <gtest/gtest.h>

#include "app/MediaSystemVars.h"
#include "archive/TVrFileManager.h"
#include "expr/TParamCollection.h"
#include "media/TMediaSystem.h"

namespace zuno {
namespace {

TEST(MediaSystemVars, SoundOnAndMidiPortsReachTheManagers) {
    TVrFileManager files;
    TMediaSystem media(files, TMediaSettings{}, [] { return 0u; });
    TParamCollection params;
    installMediaSystemVariables(params, media);
    TCustomParam& soundOn = *params.Find("@SoundON")->Value();
    TCustomParam& port = *params.Find("@MidiPort")->Value();
    TCustomParam& ports = *params.Find("@MidiPorts")->Value();

    EXPECT_TRUE(soundOn.AsBoolean());
    soundOn.SetBoolean(false);
    EXPECT_FALSE(media.Ogg().SoundOn());
    EXPECT_FALSE(media.Midi().SoundOn());
    EXPECT_FALSE(soundOn.AsBoolean());
    soundOn.SetInteger(1);
    EXPECT_TRUE(media.Cdda().SoundOn());

    const std::string mapper = "MIDI\x83\x7d\x83\x62\x83\x70\x81\x5b";   // "MIDIマッパー"
    EXPECT_EQ(port.AsString(), mapper);
    ASSERT_EQ(ports.Count(), media.Midi().PortCount());
    EXPECT_EQ(ports.AsString(), mapper);                 // the scalar reads element 0
    port.SetString(ports.GetStringAt(1));
    EXPECT_EQ(media.Midi().Port(), 1);
    port.SetString("nothing of the kind");
    EXPECT_EQ(port.AsString(), mapper);
}

} // namespace
} // namespace zuno
