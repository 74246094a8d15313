// The DLL's entry points: Explorer asks for the thumbnail class through them.
#include "explorer/thumbnail_provider.h"

#include <new>

namespace pictavo {
namespace {

std::atomic<long> locks{0};

class ClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // One factory for the DLL's lifetime: counting would add nothing.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID id, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        auto* provider = new (std::nothrow) ThumbnailProvider();
        if (provider == nullptr) {
            return E_OUTOFMEMORY;
        }
        const HRESULT result = provider->QueryInterface(id, object);
        provider->Release();
        return result;
    }

    STDMETHODIMP LockServer(BOOL lock) override {
        locks += lock ? 1 : -1;
        return S_OK;
    }
};

ClassFactory factory;

} // namespace
} // namespace pictavo

extern "C" {

__declspec(dllexport) HRESULT
    __stdcall DllGetClassObject(REFCLSID classId, REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (!IsEqualCLSID(classId, pictavo::kThumbnailProviderClass)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return pictavo::factory.QueryInterface(id, object);
}

__declspec(dllexport) HRESULT __stdcall DllCanUnloadNow() {
    return pictavo::liveObjects == 0 && pictavo::locks == 0 ? S_OK : S_FALSE;
}

} // extern "C"
