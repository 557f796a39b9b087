#include "windows/BdsIdeUtils.h"

#include "host/vcl/Forms.h"

namespace talvix {

TWinControl* FindObjectInspectorHost() noexcept
{
    try {
        if (!Application)
            return nullptr;
        for (int i = 0; i < Application->ComponentCount(); ++i) {
            TComponent* component = Application->Components(i);
            if (component->ClassType()->ClassName() != u"TPropertyInspector")
                continue;
            // The walk ends at the first match, whether or not the chain holds.
            TWinControl* host = dynamic_cast<TWinControl*>(component);
            for (int up = 0; up < 3 && host; ++up)
                host = host->Parent();
            return host;
        }
    } catch (...) {
        // Any error inside the walk means no host.
    }
    return nullptr;
}

} // namespace talvix
