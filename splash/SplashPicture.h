#pragma once
// A picture file decoded by the system's OLE picture support, measured in
// screen pixels and rendered once into a bitmap that its window owns.

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "base/UniqueResource.h"

// Picture sizes are reported in HIMETRIC units, 2540 to the inch.
constexpr int kHimetricPerInch = 2540;

// HIMETRIC to pixels at the logical densities of a device (pixels per inch),
// rounded to the nearest pixel. Used for the MM_TEXT, MM_ISOTROPIC and
// MM_ANISOTROPIC mapping modes.
SIZE himetricToPixelsAtDensity(SIZE himetric, int pixelsPerInchX, int pixelsPerInchY);

// HIMETRIC scaled by a device's MM_HIMETRIC viewport over window extents.
// Without readable extents (or with a zero window extent) the size stays in
// HIMETRIC units.
SIZE himetricToPixelsByExtents(SIZE himetric, bool extentsRead, SIZE viewportExtent,
                               SIZE windowExtent);

// Whether a mapping mode converts by pixel density rather than by extents.
bool convertsByDensity(int mapMode);

class SplashPicture {
public:
    // targetBitmap is the slot that renderToBitmap fills; its owner deletes
    // the bitmap, this object deletes only a bitmap it replaces.
    explicit SplashPicture(UniqueGdiObject& targetBitmap) : targetBitmap_(targetBitmap) {}
    SplashPicture(const SplashPicture&) = delete;
    SplashPicture& operator=(const SplashPicture&) = delete;

    bool loadFromFile(const std::string& path);
    bool loadFromMemory(const void* bytes, DWORD count);
    bool loaded() const { return picture_.valid(); }

    // Width and height in screen pixels; (0, 0) without a picture.
    SIZE sizeInPixels() const;
    // The size at 96 DPI (100 %): a bitmap's own pixels (BMP, GIF, JPEG,
    // icons), a metafile's size measured at 96 pixels to the inch.
    SIZE sizeAtDefaultDpi() const;

    // Draws the picture upright into the held rectangle, or at its natural
    // size at (0, 0) when no rectangle is held.
    bool render(HDC dc) const;

    // Renders into a new bitmap compatible with the window: at natural size,
    // into the given rectangle, or into the client rectangle; a bitmap
    // stretched smoothly (HALFTONE).
    void renderToBitmap(HWND window, bool naturalSize, const RECT* rectangle = nullptr);

    const RECT& targetRectangle() const { return target_; }

private:
    SIZE himetricSize() const;

    UniqueCom<IPicture> picture_;
    RECT target_{0, 0, 0, 0};
    UniqueGdiObject& targetBitmap_;
};
