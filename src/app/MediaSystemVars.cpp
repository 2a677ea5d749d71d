#include "app/MediaSystemVars.h"

#include "expr/TParamCollection.h"
#include "media/TMediaSystem.h"

namespace zuno {

void installMediaSystemVariables(TParamCollection& params, TMediaSystem& media) {
    TMediaSystem* m = &media;
    params.SetSystemAccess(SV_SOUNDON, {[m] { return TSysValue::ofFlag(m->Ogg().SoundOn()); },
                                        [m](const TSysValue& v) { m->SetSoundOn(v.Flag); }, {}, {}});
    params.SetSystemAccess(SV_MIDIPORT, {[m] { return TSysValue::ofStr(m->Midi().CurrentPortName()); },
                                         [m](const TSysValue& v) { m->Midi().SelectPort(v.Str); }, {}, {}});
    params.SetSystemAccess(SV_MIDIPORTS, {[m] { return TSysValue::ofStr(m->Midi().PortName(0)); }, {},
                                          [m] { return m->Midi().PortCount(); },
                                          [m](int i) { return TSysValue::ofStr(m->Midi().PortName(i)); }});
}

} // namespace zuno
