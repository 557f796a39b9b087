#include "bench/NullNotifier.h"

#include "interop/InterfacedObject.h"

namespace tvx::bench {

namespace {

class NullNotifier final : public tvx::Implements<NullNotifier, IBDSNotifier, IBDSModuleNotifier> {
public:
    LongBool STDMETHODCALLTYPE AfterSave() override { return 1; }
    LongBool STDMETHODCALLTYPE BeforeSave() override { return 1; }
    HRESULT STDMETHODCALLTYPE Destroyed() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Modified() override { return S_OK; }
    LongBool STDMETHODCALLTYPE CheckOverwrite() override { return 1; }
    HRESULT STDMETHODCALLTYPE ModuleRenamed(BSTR) override { return S_OK; }
};

} // namespace

IBDSNotifier* NewNullNotifier() { return tvx::NewInterface<NullNotifier, IBDSNotifier>(); }

} // namespace tvx::bench
