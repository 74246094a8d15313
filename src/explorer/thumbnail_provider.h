#pragma once

#include <atomic>
#include <propsys.h>
#include <thumbcache.h>

namespace pictavo {

// {3AB027B5-6AB3-474E-8761-CF89A106EDA1}: the class Explorer creates for an .iwi file's
// thumbnail, registered by the installer.
inline constexpr CLSID kThumbnailProviderClass = {
    0x3ab027b5, 0x6ab3, 0x474e, {0x87, 0x61, 0xcf, 0x89, 0xa1, 0x06, 0xed, 0xa1}};

// The DLL's objects alive; it may be unloaded at none.
extern std::atomic<long> liveObjects;

// Explorer's thumbnail of a texture, as pictavo-thumbnailer makes it on Linux: the smallest
// level at least the size asked, scaled to fit, with its alpha.
class ThumbnailProvider final : public IThumbnailProvider, public IInitializeWithStream {
public:
    ThumbnailProvider();
    ThumbnailProvider(const ThumbnailProvider&) = delete;
    ThumbnailProvider& operator=(const ThumbnailProvider&) = delete;

    STDMETHODIMP QueryInterface(REFIID id, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Initialize(IStream* stream, DWORD mode) override;
    STDMETHODIMP GetThumbnail(UINT size, HBITMAP* bitmap, WTS_ALPHATYPE* alpha) override;

private:
    ~ThumbnailProvider();

    std::atomic<ULONG> references_{1};
    IStream* stream_ = nullptr;
};

} // namespace pictavo
