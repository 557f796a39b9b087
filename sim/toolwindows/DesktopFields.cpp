#include "sim/toolwindows/DesktopFields.h"

#include "host/vcl/Forms.h"
#include "interop/Guard.h"

#include <algorithm>

namespace tvx::sim {

namespace {

// Screen lists every form until its destructor runs, so a pointer found
// there can be touched and one that is not may be freed memory.
bool IsLiveForm(const TCustomForm* form) noexcept
{
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i) == form)
            return true;
    return false;
}

} // namespace

void DesktopFields::Register(const String& Name, void* Address)
{
    if (!Address)
        return;
    auto known = std::find_if(fields_.begin(), fields_.end(), [&](const Field& f) { return f.Address == Address; });
    if (known != fields_.end())
        known->Name = Name;
    else
        fields_.push_back(Field{Name, Address});
}

void DesktopFields::Unregister(const void* Address) noexcept
{
    std::erase_if(fields_, [&](const Field& f) { return f.Address == Address; });
}

bool DesktopFields::Registered(const void* Address) const noexcept
{
    return std::any_of(fields_.begin(), fields_.end(), [&](const Field& f) { return f.Address == Address; });
}

std::vector<DesktopFieldRecord> DesktopFields::FreeForms()
{
    using Outcome = DesktopFieldRecord::Outcome;
    // Forms' OnDestroy handlers change the list while we walk it.
    const std::vector<Field> walk = fields_;
    std::vector<DesktopFieldRecord> records;
    for (const Field& entry : walk) {
        DesktopFieldRecord record{entry.Name, Outcome::Empty, {}, {}};
        // The object that held it may be gone, and its memory with it.
        if (!Registered(entry.Address)) {
            record.What = Outcome::UnregisteredMeanwhile;
            records.push_back(std::move(record));
            continue;
        }
        auto& field = *static_cast<TCustomForm**>(entry.Address);
        TCustomForm* form = field;
        field = nullptr;
        if (!form) {
            record.What = Outcome::Empty;
        } else if (!IsLiveForm(form)) {
            record.What = Outcome::NoLiveForm;
        } else if (form->ComponentState().Contains(csDestroying)) {
            record.What = Outcome::BeingFreed;
            record.Form = form->Name();
        } else {
            record.Form = form->Name();
            record.What = Outcome::Freed;
            try {
                form->Free();
            } catch (...) {
                std::u16string buffer;
                record.What = Outcome::Raised;
                record.Error = CurrentExceptionText(buffer);
                if (Application)
                    Application->HandleException(nullptr);
            }
        }
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace tvx::sim
