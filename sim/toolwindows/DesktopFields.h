// The desktop's list of the variables that hold desktop forms: objects of
// the IDE and of add-ins register the address of their form variable
// (RegisterFieldAddress) and the desktop, when it changes or the IDE shuts
// down, frees the form each one holds and sets the variable to nil.
#pragma once

#include "host/vcl/System.h"
#include "sim/toolwindows/ToolWindowReport.h"

#include <cstddef>
#include <vector>

namespace tvx::sim {

class DesktopFields {
public:
    // Address is a variable of type TCustomForm*. Registering an address
    // again renames it; null is ignored.
    void Register(const String& Name, void* Address);
    void Unregister(const void* Address) noexcept;
    bool Registered(const void* Address) const noexcept;
    std::size_t Count() const noexcept { return fields_.size(); }

    // For each field registered now, in registration order: reads the form,
    // sets the field to nil, then frees the form. A form's OnDestroy may
    // unregister fields, free other forms or write fields itself; a field
    // it unregistered is not touched again, and a form already gone is not
    // freed twice. What one form raises is shown as the IDE shows errors and
    // the walk goes on.
    std::vector<DesktopFieldRecord> FreeForms();

private:
    struct Field {
        String Name;
        void* Address = nullptr;
    };
    std::vector<Field> fields_;
};

} // namespace tvx::sim
