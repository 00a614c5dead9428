// A window's skin: a JPEG carried as RCDATA, decoded by the platform's picture loader on a thread
// of its own, so that the decode overlaps the making, loading and showing of the window. Whatever
// draws the skin first waits for it; the decode takes about as long as the window manager's work,
// so that wait is short or nothing.
#pragma once

#include <windows.h>

namespace forms::win32 {

class Skin {
 public:
  Skin() = default;
  ~Skin();
  Skin(const Skin&) = delete;
  Skin& operator=(const Skin&) = delete;

  // Fails when the program carries no such resource.
  void StartDecoding(HINSTANCE instance, int resource);
  // Wait for the decode; fails when the data is no picture. nullptr without a skin.
  HBITMAP Bitmap();
  SIZE Size();

 private:
  static DWORD WINAPI Decode(void* self);
  void Wait();

  bool started_ = false;
  bool ready_ = false;           // waited for and measured
  const void* bytes_ = nullptr;  // the resource, mapped with the program for its whole life
  DWORD size_ = 0;
  HANDLE thread_ = nullptr;      // until waited for
  HBITMAP bitmap_ = nullptr;     // written by the decoding thread, read after it ended
  SIZE pixels_{};
};

}  // namespace forms::win32
