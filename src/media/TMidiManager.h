// MIDI pieces: one sequencer and one synthesiser port serve every item; the
// current item is the one that started last. The port list has the mapper
// "MIDIマッパー" first, then the output devices (here the synthesiser).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "media/TDMediaItem.h"

namespace zuno {

class TAudioMixer;
class TFluidSynthPort;
class TMidiPlayV;
class TVrFileManager;

class TMidiManager : public TDMediaManager {
public:
                        TMidiManager(TVrFileManager& files, TAudioMixer& mixer, const std::string& soundFont);
                        ~TMidiManager() override;

    TDMediaItem*        Add(const std::string& name);    // nullptr when the file cannot be had

    // Ports (names in Shift-JIS).
    int                 PortCount() const { return int(FPortNames.size()); }
    std::string         PortName(int i) const;
    std::string         CurrentPortName() const { return PortName(FPort); }
    void                SelectPort(int index);           // clamped to the list
    void                SelectPort(const std::string& name);   // a name not in the list selects entry 0

    // Shared player state for the items.
    TMidiPlayV&         Sequencer() { return *FSequencer; }
    TDMediaItem*        Current = nullptr;
    TVrFileManager&     Files() { return FFiles; }
    int                 Port() const { return FPort; }

protected:
    void                beforeDelete(TDMediaItem* item) override;

private:
    TVrFileManager&     FFiles;
    TAudioMixer&        FMixer;
    std::unique_ptr<TFluidSynthPort> FSynth;
    std::unique_ptr<TMidiPlayV> FSequencer;
    std::vector<std::string> FPortNames;
    int                 FPort = 0;
};

} // namespace zuno
