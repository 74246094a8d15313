#include "explorer/thumbnail_provider.h"

#include "explorer/stream_source.h"
#include "thumbnailer/thumbnail.h"

#include <cstring>
#include <new>
#include <shlwapi.h>
#include <utility>

namespace pictavo {

std::atomic<long> liveObjects{0};

namespace {

// A top-down 32-bit DIB of the image, blue, green, red, alpha, as Explorer takes it.
HBITMAP BitmapOf(const RgbaImage& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(image.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(image.height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        return nullptr;
    }
    auto* out = static_cast<std::uint8_t*>(bits);
    const std::uint8_t* in = image.pixels.data();
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        out[i] = in[i + 2];
        out[i + 1] = in[i + 1];
        out[i + 2] = in[i];
        out[i + 3] = in[i + 3];
    }
    return bitmap;
}

} // namespace

ThumbnailProvider::ThumbnailProvider() {
    ++liveObjects;
}

ThumbnailProvider::~ThumbnailProvider() {
    if (stream_ != nullptr) {
        stream_->Release();
    }
    --liveObjects;
}

STDMETHODIMP ThumbnailProvider::QueryInterface(REFIID id, void** object) {
    static const QITAB interfaces[] = {
        QITABENT(ThumbnailProvider, IThumbnailProvider),
        QITABENT(ThumbnailProvider, IInitializeWithStream),
        {nullptr, 0},
    };
    return QISearch(this, interfaces, id, object);
}

STDMETHODIMP_(ULONG) ThumbnailProvider::AddRef() {
    return ++references_;
}

STDMETHODIMP_(ULONG) ThumbnailProvider::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

STDMETHODIMP ThumbnailProvider::Initialize(IStream* stream, DWORD) {
    if (stream == nullptr) {
        return E_INVALIDARG;
    }
    if (stream_ != nullptr) {
        return HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED);
    }
    stream_ = stream;
    stream_->AddRef();
    return S_OK;
}

STDMETHODIMP ThumbnailProvider::GetThumbnail(UINT size, HBITMAP* bitmap, WTS_ALPHATYPE* alpha) {
    if (bitmap == nullptr || alpha == nullptr) {
        return E_POINTER;
    }
    *bitmap = nullptr;
    if (stream_ == nullptr) {
        return E_UNEXPECTED;
    }
    if (size == 0 || size > kMaxSide) {
        return E_INVALIDARG;
    }
    StreamSource source(stream_);
    if (!source.Valid()) {
        return E_FAIL;
    }
    RgbaImage image;
    try {
        Result<RgbaImage> made = MakeThumbnailImage(source, size);
        if (!made) {
            return E_FAIL;
        }
        image = std::move(made).value();
    } catch (const std::bad_alloc&) {
        // Explorer's process must outlive any file.
        return E_OUTOFMEMORY;
    }
    *bitmap = BitmapOf(image);
    *alpha = WTSAT_ARGB;
    return *bitmap != nullptr ? S_OK : E_OUTOFMEMORY;
}

} // namespace pictavo
