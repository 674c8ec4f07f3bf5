#include "splash/SplashPicture.h"

#include <cstdlib>
#include <cstring>

#include "splash/BitmapHeader.h"

SIZE himetricToPixelsAtDensity(SIZE himetric, int pixelsPerInchX, int pixelsPerInchY) {
    return SIZE{MulDiv(himetric.cx, pixelsPerInchX, kHimetricPerInch),
                MulDiv(himetric.cy, pixelsPerInchY, kHimetricPerInch)};
}

SIZE himetricToPixelsByExtents(SIZE himetric, bool extentsRead, SIZE viewportExtent,
                               SIZE windowExtent) {
    if (!extentsRead || windowExtent.cx == 0 || windowExtent.cy == 0) return himetric;
    return SIZE{MulDiv(himetric.cx, std::abs(viewportExtent.cx), std::abs(windowExtent.cx)),
                MulDiv(himetric.cy, std::abs(viewportExtent.cy), std::abs(windowExtent.cy))};
}

bool convertsByDensity(int mapMode) {
    return mapMode == MM_TEXT || mapMode == MM_ISOTROPIC || mapMode == MM_ANISOTROPIC;
}

bool SplashPicture::loadFromFile(const std::string& path) {
    picture_.reset();
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size == 0) return false;
    UniqueHeapMemory buffer(HeapAlloc(GetProcessHeap(), 0, size));
    if (!buffer) return false;
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer.get(), size, &read, nullptr) || read == 0) return false;
    return loadFromMemory(buffer.get(), read);
}

bool SplashPicture::loadFromMemory(const void* bytes, DWORD count) {
    picture_.reset();
    // The decoder would read a bitmap's missing rows from beyond the data.
    if (isBrokenBitmap(static_cast<const std::uint8_t*>(bytes), count)) return false;
    // The stream takes the block over once it exists and frees it when it is
    // released; until then the block frees itself.
    UniqueGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, count));
    if (!block) return false;
    void* locked = GlobalLock(block.get());
    if (!locked) return false;
    std::memcpy(locked, bytes, count);
    GlobalUnlock(block.get());

    UniqueCom<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, stream.put()))) return false;
    block.release();

    HRESULT result = OleLoadPicture(stream.get(), static_cast<LONG>(count), FALSE,
                                    __uuidof(IPicture), reinterpret_cast<void**>(picture_.put()));
    if (result != S_OK) picture_.reset();
    return picture_.valid();
}

SIZE SplashPicture::himetricSize() const {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (FAILED(picture_.get()->get_Width(&width)) || FAILED(picture_.get()->get_Height(&height)))
        return SIZE{0, 0};
    return SIZE{width, height};
}

SIZE SplashPicture::sizeInPixels() const {
    if (!picture_) return SIZE{0, 0};
    SIZE himetric = himetricSize();
    UniqueWindowDc screen(nullptr);
    if (!screen) return SIZE{0, 0};
    HDC dc = screen.get();
    int mode = GetMapMode(dc);
    if (convertsByDensity(mode))
        return himetricToPixelsAtDensity(himetric, GetDeviceCaps(dc, LOGPIXELSX),
                                         GetDeviceCaps(dc, LOGPIXELSY));
    SetMapMode(dc, MM_HIMETRIC);
    SIZE viewport{0, 0};
    SIZE window{0, 0};
    bool read = GetViewportExtEx(dc, &viewport) && GetWindowExtEx(dc, &window);
    SetMapMode(dc, mode);
    return himetricToPixelsByExtents(himetric, read, viewport, window);
}

SIZE SplashPicture::sizeAtDefaultDpi() const {
    SHORT type = PICTYPE_NONE;
    if (picture_ && SUCCEEDED(picture_.get()->get_Type(&type)) &&
        (type == PICTYPE_METAFILE || type == PICTYPE_ENHMETAFILE))
        return himetricToPixelsAtDensity(himetricSize(), 96, 96);
    return sizeInPixels();
}

bool SplashPicture::render(HDC dc) const {
    if (!picture_) return false;
    RECT target = target_;
    if (target.left == 0 && target.top == 0 && target.right == 0 && target.bottom == 0) {
        SIZE size = sizeInPixels();
        target = RECT{0, 0, size.cx, size.cy};
    }
    SIZE himetric = himetricSize();
    // Starting at the bottom with a negative height turns the picture's
    // upward HIMETRIC axis into the device's downward one.
    return picture_.get()->Render(dc, target.left, target.top, target.right - target.left,
                                  target.bottom - target.top, 0, himetric.cy, himetric.cx,
                                  -himetric.cy, nullptr) == S_OK;
}

void SplashPicture::renderToBitmap(HWND window, bool naturalSize, const RECT* rectangle) {
    UniqueWindowDc windowDc(window);
    UniqueMemoryDc memoryDc(CreateCompatibleDC(windowDc.get()));

    if (naturalSize) {
        SIZE size = sizeInPixels();
        target_ = RECT{0, 0, size.cx, size.cy};
    } else if (rectangle) {
        target_ = *rectangle;
    } else {
        GetClientRect(window, &target_);
    }

    targetBitmap_.reset();
    targetBitmap_.reset(CreateCompatibleBitmap(windowDc.get(), target_.right - target_.left,
                                               target_.bottom - target_.top));
    if (!memoryDc || !targetBitmap_) return;
    ScopedSelection selection(memoryDc.get(), targetBitmap_.get());
    SetStretchBltMode(memoryDc.get(), HALFTONE);
    SetBrushOrgEx(memoryDc.get(), 0, 0, nullptr);
    render(memoryDc.get());
}
