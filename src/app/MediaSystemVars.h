// The system variables the media layer answers: "@SoundON" (a store switches
// sound on or off in every manager), "@MidiPort" (a store selects the port of
// that name) and "@MidiPorts" (the port names).
#pragma once

namespace zuno {

class TParamCollection;
class TMediaSystem;

void                    installMediaSystemVariables(TParamCollection& params, TMediaSystem& media);

} // namespace zuno
