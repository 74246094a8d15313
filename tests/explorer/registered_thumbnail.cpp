// registered-thumbnail FILE SIZE: makes FILE's thumbnail the way Explorer finds the handler,
// through the registry alone (the extension's thumbnail handler entry, then COM), and prints
// its width and height. Exit status 1 when no thumbnail came back.
#include <cstdio>
#include <cwchar>
#include <objbase.h>
#include <shlwapi.h>
#include <string>
#include <thumbcache.h>
#include <utility>

namespace {

// The shell's key under an extension for its thumbnail handler.
constexpr wchar_t kHandlerKey[] = L".iwi\\ShellEx\\{E357FCCD-A995-4576-B01F-234630154E96}";

// A value of the classes key as Windows merges it: the user's own classes first, then the
// machine's. (Wine's HKEY_CLASSES_ROOT leaves the user's out.)
bool ClassesValue(const std::wstring& key, wchar_t* text, DWORD bytes) {
    for (const HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        DWORD size = bytes;
        if (RegGetValueW(hive, (L"Software\\Classes\\" + key).c_str(), nullptr, RRF_RT_REG_SZ,
                         nullptr, text, &size) == ERROR_SUCCESS) {
            return true;
        }
    }
    return false;
}

// The handler as COM makes it; where COM does not look at the user's classes (Wine), as COM
// would: the class object of the DLL registered for the class.
HRESULT CreateHandler(const CLSID& classId, const wchar_t* classText, void** object) {
    const HRESULT result = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER,
                                            __uuidof(IInitializeWithStream), object);
    wchar_t dll[MAX_PATH] = {};
    if (result != REGDB_E_CLASSNOTREG ||
        !ClassesValue(std::wstring(L"CLSID\\") + classText + L"\\InprocServer32", dll,
                      sizeof dll)) {
        return result;
    }
    HMODULE module = LoadLibraryW(dll);
    using GetClassObject = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    const auto getClassObject = module ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(
                                             GetProcAddress(module, "DllGetClassObject")))
                                       : nullptr;
    IClassFactory* factory = nullptr;
    if (getClassObject == nullptr ||
        FAILED(getClassObject(classId, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
        return result;
    }
    const HRESULT created =
        factory->CreateInstance(nullptr, __uuidof(IInitializeWithStream), object);
    factory->Release();
    return created;
}

int Run(const wchar_t* file, UINT size) {
    wchar_t classText[64] = {};
    if (!ClassesValue(kHandlerKey, classText, sizeof classText)) {
        std::fputs("no thumbnail handler registered for .iwi\n", stderr);
        return 1;
    }
    CLSID classId;
    if (FAILED(CLSIDFromString(classText, &classId))) {
        return 1;
    }
    IInitializeWithStream* initialize = nullptr;
    if (FAILED(CreateHandler(classId, classText, reinterpret_cast<void**>(&initialize)))) {
        std::fputs("the registered handler cannot be created\n", stderr);
        return 1;
    }
    IStream* stream = nullptr;
    HRESULT result =
        SHCreateStreamOnFileEx(file, STGM_READ | STGM_SHARE_DENY_WRITE, 0, FALSE, nullptr, &stream);
    if (SUCCEEDED(result)) {
        result = initialize->Initialize(stream, STGM_READ);
        stream->Release();
    }
    IThumbnailProvider* provider = nullptr;
    if (SUCCEEDED(result)) {
        result = initialize->QueryInterface(__uuidof(IThumbnailProvider),
                                            reinterpret_cast<void**>(&provider));
    }
    initialize->Release();
    HBITMAP bitmap = nullptr;
    WTS_ALPHATYPE alpha;
    if (SUCCEEDED(result)) {
        result = provider->GetThumbnail(size, &bitmap, &alpha);
        provider->Release();
    }
    BITMAP info{};
    if (FAILED(result) || bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) {
        std::fprintf(stderr, "no thumbnail: 0x%08lx\n", static_cast<unsigned long>(result));
        return 1;
    }
    std::printf("%ldx%ld\n", info.bmWidth, info.bmHeight);
    DeleteObject(bitmap);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: registered-thumbnail FILE SIZE\n", stderr);
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int status = Run(argv[1], static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)));
    CoUninitialize();
    return status;
}
