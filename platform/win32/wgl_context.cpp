// ChangeDisplaySettingsA and the WGL context for the OpenGL back-end.
#include "platform/win32/wgl_context.h"

#include "base/log.h"

namespace tav {

WglContext::~WglContext() {
  Destroy();
  LeaveDisplayMode();
}

void WglContext::EnterDisplayMode(int width, int height, int bitsPerPixel) {
  if (!TryEnterDisplayMode(width, height, bitsPerPixel)) {
    ReportFatal("ChangeDisplaySettings() failed.");
  }
}

bool WglContext::TryEnterDisplayMode(int width, int height, int bitsPerPixel) {
  LogLine("ChangeDisplaySettings()\n");
  mode_ = {};
  mode_.dmSize = sizeof(mode_);
  mode_.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
  mode_.dmPelsWidth = static_cast<DWORD>(width);
  mode_.dmPelsHeight = static_cast<DWORD>(height);
  mode_.dmBitsPerPel = static_cast<DWORD>(bitsPerPixel);
  if (ChangeDisplaySettingsA(&mode_, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return false;
  modeChanged_ = true;
  modeSuspended_ = false;
  return true;
}

void WglContext::LeaveDisplayMode() {
  if (!modeChanged_) return;
  if (!modeSuspended_) ChangeDisplaySettingsA(nullptr, 0);
  modeChanged_ = false;
  modeSuspended_ = false;
}

void WglContext::SuspendDisplayMode() {
  if (!modeChanged_ || modeSuspended_) return;
  ChangeDisplaySettingsA(nullptr, 0);
  modeSuspended_ = true;
}

void WglContext::ResumeDisplayMode() {
  if (!modeChanged_ || !modeSuspended_) return;
  // A failure here is no reason to stop: the game goes on in the desktop's mode,
  // letterboxed, and the next activation tries again.
  if (ChangeDisplaySettingsA(&mode_, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
    LogLine("WARNING: ChangeDisplaySettings() failed on activation.\n");
    return;
  }
  modeSuspended_ = false;
}

void WglContext::Create(HWND window, int bitsPerPixel) {
  PIXELFORMATDESCRIPTOR format = {};
  format.nSize = sizeof(format);
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = static_cast<BYTE>(bitsPerPixel);

  window_ = window;
  LogLine("GetDC()\n");
  deviceContext_ = window != nullptr ? GetDC(window) : nullptr;
  if (deviceContext_ == nullptr) {
    ReportFatal("GetDC() failed.");
    return;
  }
  LogLine("ChoosePixelFormat()\n");
  const int formatIndex = ChoosePixelFormat(deviceContext_, &format);
  if (formatIndex == 0) {
    ReportFatal("ChoosePixelFormat() failed.");
    return;
  }
  LogLine("SetPixelFormat()\n");
  if (!SetPixelFormat(deviceContext_, formatIndex, &format)) {
    ReportFatal("SetPixelFormat() failed.");
    return;
  }
  LogLine("wglCreateContext()\n");
  renderingContext_ = wglCreateContext(deviceContext_);
  if (renderingContext_ == nullptr) {
    ReportFatal("wglCreateContext() failed.");
    return;
  }
  LogLine("wglMakeCurrent()\n");
  if (!wglMakeCurrent(deviceContext_, renderingContext_)) {
    ReportFatal("wglMakeCurrent() failed.");
    return;
  }
}

void WglContext::Destroy() {
  if (renderingContext_ != nullptr) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(renderingContext_);
    renderingContext_ = nullptr;
  }
  if (deviceContext_ != nullptr) {
    ReleaseDC(window_, deviceContext_);
    deviceContext_ = nullptr;
  }
  window_ = nullptr;
}

void WglContext::SwapBuffers() {
  if (deviceContext_ != nullptr) ::SwapBuffers(deviceContext_);
}

}  // namespace tav
