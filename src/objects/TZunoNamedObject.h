// The root of everything the registry can hold: an object with a name. Events
// name their sender through this class, and the display objects derive from it.
#pragma once

#include <string>

namespace zuno {

class TZunoNamedObject {
public:
    virtual             ~TZunoNamedObject() = default;

    virtual const std::string& Name() const { return FName; }
    virtual void        SetName(const std::string& name) { FName = name; }

protected:
    std::string         FName;
};

} // namespace zuno
