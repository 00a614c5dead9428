#include "forms/win32/skin.h"

#include <ole2.h>
#include <olectl.h>

#include "forms/error.h"
#include "forms/win32/start_marks.h"

namespace forms::win32 {
namespace {

// The picture loader reads from a stream over memory of its own: a copy of the resource's bytes.
HBITMAP DecodeJpeg(const void* bytes, DWORD size) {
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) return nullptr;
  CopyMemory(GlobalLock(copy), bytes, size);
  GlobalUnlock(copy);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
    GlobalFree(copy);
    return nullptr;
  }
  IPicture* picture = nullptr;
  const HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                        reinterpret_cast<void**>(&picture));
  stream->Release();
  if (FAILED(loaded) || !picture) return nullptr;
  OLE_HANDLE handle = 0;
  picture->get_Handle(&handle);
  // The picture owns its bitmap; keep a copy that outlives it. Keeping the picture instead left
  // Wine's process a megabyte larger for good after the first round trips.
  HBITMAP bitmap = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  picture->Release();
  return bitmap;
}

}  // namespace

Skin::~Skin() {
  Wait();
  if (bitmap_) DeleteObject(bitmap_);
}

void Skin::StartDecoding(HINSTANCE instance, int resource) {
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resource), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (!found) Fail("Resource not found");
  size_ = SizeofResource(instance, found);
  bytes_ = LockResource(LoadResource(instance, found));
  started_ = true;
  thread_ = CreateThread(nullptr, 0, &Skin::Decode, this, 0, nullptr);
  if (!thread_) Decode(this);  // no thread to be had: decode here, as the window would wait anyway
}

DWORD WINAPI Skin::Decode(void* self) {
  Skin& skin = *static_cast<Skin*>(self);
  // The picture loader may ask COM for its decoder, and this thread is in no apartment yet.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  skin.bitmap_ = DecodeJpeg(skin.bytes_, skin.size_);
  if (com) CoUninitialize();
  if (skin.bitmap_) Mark(StartMark::SkinDecoded);
  return 0;
}

void Skin::Wait() {
  if (!thread_) return;
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = nullptr;
}

HBITMAP Skin::Bitmap() {
  if (!started_) return nullptr;
  if (!ready_) {
    Wait();
    ready_ = true;
    if (!bitmap_) Fail("Invalid picture");
    BITMAP info{};
    GetObjectA(bitmap_, sizeof info, &info);
    pixels_ = {info.bmWidth, info.bmHeight};
  }
  return bitmap_;
}

SIZE Skin::Size() {
  Bitmap();
  return pixels_;
}

}  // namespace forms::win32
