// How Qt's Windows platform starts OpenGL for this program. Linked as an object into every
// program on Qt for Windows, so that its answer to Qt's Direct3D 9 call is the one taken.
//
// Qt asks Direct3D 9 for the graphics card twice at start-up (before its OpenGL and before the
// first window), only to look the card up in its list of Windows drivers' faults. Under Wine
// that call starts Wine's whole Direct3D on OpenGL, with its tests of every texture format:
// about half a second of the start. Wine's card is a guess at the host's, with no Windows
// driver to be listed, so under Wine the question gets a card of no name; on Windows it goes
// to Direct3D 9 as before.
#include <QCoreApplication>
#include <cstring>
#include <d3d9.h>
#include <windows.h>

namespace {

// The program draws with OpenGL 3.3 and ships no software OpenGL: the desktop's is the only
// one it can use. Saying so also spares Qt its trial window and context at start-up, and Qt
// needs it once its card check has nothing to go on.
[[maybe_unused]] const bool kDesktopOpenGL = [] {
    QCoreApplication::setAttribute(Qt::AA_UseDesktopOpenGL);
    return true;
}();

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// One adapter with a blank identifier; nothing else is asked of it.
class NamelessCard final : public IDirect3D9 {
public:
    HRESULT WINAPI QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return 1; }
    ULONG WINAPI Release() override { return 1; }
    HRESULT WINAPI RegisterSoftwareDevice(void*) override { return D3DERR_NOTAVAILABLE; }
    UINT WINAPI GetAdapterCount() override { return 1; }
    HRESULT WINAPI GetAdapterIdentifier(UINT, DWORD, D3DADAPTER_IDENTIFIER9* identifier) override {
        std::memset(identifier, 0, sizeof *identifier);
        return D3D_OK;
    }
    UINT WINAPI GetAdapterModeCount(UINT, D3DFORMAT) override { return 0; }
    HRESULT WINAPI EnumAdapterModes(UINT, D3DFORMAT, UINT, D3DDISPLAYMODE*) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT WINAPI GetAdapterDisplayMode(UINT, D3DDISPLAYMODE*) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT WINAPI CheckDeviceType(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, BOOL) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT WINAPI CheckDeviceFormat(UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE,
                                     D3DFORMAT) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT WINAPI CheckDeviceMultiSampleType(UINT, D3DDEVTYPE, D3DFORMAT, BOOL,
                                              D3DMULTISAMPLE_TYPE, DWORD*) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT WINAPI CheckDepthStencilMatch(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT,
                                          D3DFORMAT) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT WINAPI CheckDeviceFormatConversion(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT WINAPI GetDeviceCaps(UINT, D3DDEVTYPE, D3DCAPS9*) override {
        return D3DERR_NOTAVAILABLE;
    }
    HMONITOR WINAPI GetAdapterMonitor(UINT) override { return nullptr; }
    HRESULT WINAPI CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*,
                                IDirect3DDevice9** device) override {
        *device = nullptr;
        return D3DERR_NOTAVAILABLE;
    }
};

} // namespace

extern "C" IDirect3D9* WINAPI Direct3DCreate9(UINT version) {
    if (RunningUnderWine()) {
        static NamelessCard card;
        return &card;
    }
    using Create = IDirect3D9*(WINAPI*)(UINT);
    static const auto create = [] {
        const HMODULE d3d9 = LoadLibraryExW(L"d3d9.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return d3d9 == nullptr ? nullptr
                               : reinterpret_cast<Create>(reinterpret_cast<void*>(
                                     GetProcAddress(d3d9, "Direct3DCreate9")));
    }();
    return create == nullptr ? nullptr : create(version);
}
