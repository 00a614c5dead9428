// What the launcher's end-to-end test and timing probe share: a private copy of the staged disc
// in a folder whose name holds blanks, the launcher's skins decoded the way it decodes them, and
// screen areas read back to compare with them pixel for pixel.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench.h"
#include "launcher/res/resource.h"

namespace vdisc {

// The start window is 499 x 500 pixels, the driver page 499 x 499, both at 96 dpi.
constexpr int kClientWidth = 499;

struct Rect {
  int left, top, width, height;
  POINT Centre() const { return {left + width / 2, top + height / 2}; }
  POINT Inside(int dx, int dy) const { return {left + dx, top + dy}; }
};

// The buttons in pixels, as the launcher lays them out at 15 twips per pixel.
constexpr Rect kStartKeyboard{160, 309, 169, 33};
constexpr Rect kStartExit{416, 453, 58, 33};
constexpr Rect kDriverLed{132, 215, 241, 41};
constexpr Rect kDriverWin2000{132, 317, 241, 41};
constexpr Rect kDriverExit{416, 453, 58, 33};

inline std::string Slash(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

// The disc that the build stages, found beside the test programs.
inline std::string StagedDisc() { return Slash(bench::ExeDir() + KBD_VANDREL_DISC); }

inline bool CopyTree(const std::string& from, const std::string& to) {
  CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((from + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == ".." || name[0] == '.') continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ok = CopyTree(from + name + "\\", to + name + "\\") && ok;
    } else {
      ok = CopyFileA((from + name).c_str(), (to + name).c_str(), FALSE) && ok;
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return ok;
}

inline void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + name + "\\");
      } else {
        DeleteFileA((folder + name).c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

// A copy of the disc of its own, removed again when it goes.
class Disc {
 public:
  Disc() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    static int serial = 0;
    folder_ = Slash(temp) + "Keyboard Disc " + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial) +
              "\\";
    ok_ = CopyTree(StagedDisc(), folder_);
  }
  ~Disc() { RemoveTree(folder_); }
  Disc(const Disc&) = delete;
  Disc& operator=(const Disc&) = delete;

  bool Ok() const { return ok_; }
  // The folder as the launcher reports it: no separator at the end.
  std::string Folder() const { return folder_.substr(0, folder_.size() - 1); }
  std::string Path(const std::string& relative) const { return folder_ + relative; }

 private:
  std::string folder_;
  bool ok_ = false;
};

// 0x00RRGGBB, top-down rows.
struct Image {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Pixels that differ between two images of one size, or -1 when the sizes differ.
inline long Differences(const Image& a, const Image& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  long count = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) count += a.pixels[i] != b.pixels[i];
  return count;
}

// A 32-bit top-down DIB section selected into a memory DC.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC Dc() const { return dc_; }
  Image Read() const {
    GdiFlush();
    Image image;
    image.width = width_;
    image.height = height_;
    const auto* bits = static_cast<const std::uint32_t*>(bits_);
    image.pixels.assign(bits, bits + static_cast<size_t>(width_) * height_);
    for (auto& p : image.pixels) p &= 0xFFFFFF;
    return image;
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

inline Image CaptureScreen(int left, int top, int width, int height) {
  Canvas canvas(width, height);
  HDC screen = GetDC(nullptr);
  BitBlt(canvas.Dc(), 0, 0, width, height, screen, left, top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  return canvas.Read();
}

// Decodes a skin from the launcher's own resources with the platform's picture loader, as the
// launcher does, so the two decodings agree to the bit.
inline HBITMAP LoadSkin(const std::string& exe, int id) {
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return nullptr;
  HBITMAP bitmap = nullptr;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (found) {
    const DWORD size = SizeofResource(module, found);
    const void* bytes = LockResource(LoadResource(module, found));
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    CopyMemory(GlobalLock(copy), bytes, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (SUCCEEDED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
      IPicture* picture = nullptr;
      if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                   reinterpret_cast<void**>(&picture))) && picture) {
        OLE_HANDLE handle = 0;
        picture->get_Handle(&handle);
        bitmap = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        picture->Release();
      }
      stream->Release();
    }
  }
  FreeLibrary(module);
  return bitmap;
}

// What a window's client area should show: its skin from the top-left corner, clipped, with
// the given icon files drawn at their own size at the given corners.
struct Overlay {
  std::string iconFile;
  Rect at;
};

inline Image Expected(HBITMAP skin, int width, int height, const std::vector<Overlay>& overlays) {
  Canvas canvas(width, height);
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(source, skin);
  BitBlt(canvas.Dc(), 0, 0, width, height, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
  for (const Overlay& o : overlays) {
    HICON icon = static_cast<HICON>(LoadImageA(nullptr, o.iconFile.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
    if (!icon) continue;
    DrawIconEx(canvas.Dc(), o.at.left, o.at.top, icon, 0, 0, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
  }
  return canvas.Read();
}

// A 24-bit BMP, for looking at what a test saw.
inline bool SaveBmp(const Image& image, const std::string& path) {
  const int stride = (image.width * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = image.width;
  info.biHeight = image.height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * image.height);
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::vector<unsigned char> row(static_cast<size_t>(stride));
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t p = image.At(x, y);
      row[x * 3] = static_cast<unsigned char>(p);
      row[x * 3 + 1] = static_cast<unsigned char>(p >> 8);
      row[x * 3 + 2] = static_cast<unsigned char>(p >> 16);
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
  return std::fclose(out) == 0;
}

}  // namespace vdisc
