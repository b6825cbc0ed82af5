/* A stand-in d3d8.dll for the tests: it loads the system's d3d8.dll by its full
 * path, hands out its Direct3D objects, and makes them behave like the devices
 * and moments players meet, chosen by the environment variable TAV_D3D8_FAULTS
 * (a comma-separated list):
 *   pow2          the device takes only power-of-two texture sizes
 *   max-texture=N its textures are at most N x N texels
 *   create-fails  CreateDevice fails (D3DERR_NOTAVAILABLE)
 *   lost=N        from the 30th frame, Present reports the device lost for N frames;
 *                 then TestCooperativeLevel says lost a few more times, then
 *                 D3DERR_DEVICENOTRESET until the device is reset
 *   reset-lost    the first Reset fails with D3DERR_DEVICELOST
 * Each fault it injects is written to standard error, so the test's output says
 * what happened. Placed beside the game's executable and chosen with
 * WINEDLLOVERRIDES=d3d8=n,b. */
#define CINTERFACE
#define COBJMACROS
#include <windows.h>
#include <d3d8.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef IDirect3D8*(WINAPI* CreateFunction)(UINT);

static int g_pow2;
static DWORD g_maxTexture;  /* 0: as the real device */
static int g_createFails;
static int g_lostFrames;
static int g_resetLost;

static int g_frame;            /* Present calls so far */
static int g_lostLeft;         /* Present calls still to report lost */
static int g_testsLostLeft;    /* TestCooperativeLevel calls still to report lost */
static int g_needsReset;

static IDirect3D8Vtbl g_direct3dTable;
static IDirect3DDevice8Vtbl g_deviceTable;
static HRESULT(WINAPI* g_realGetDeviceCaps)(IDirect3D8*, UINT, D3DDEVTYPE, D3DCAPS8*);
static HRESULT(WINAPI* g_realCreateDevice)(IDirect3D8*, UINT, D3DDEVTYPE, HWND, DWORD,
                                           D3DPRESENT_PARAMETERS*, IDirect3DDevice8**);
static HRESULT(WINAPI* g_realPresent)(IDirect3DDevice8*, const RECT*, const RECT*, HWND,
                                      const RGNDATA*);
static HRESULT(WINAPI* g_realTestCooperativeLevel)(IDirect3DDevice8*);
static HRESULT(WINAPI* g_realReset)(IDirect3DDevice8*, D3DPRESENT_PARAMETERS*);

static void Say(const char* text) {
  fprintf(stderr, "d3d8 fault proxy: %s\n", text);
  fflush(stderr);
}

static void ReadFaults(void) {
  const char* faults = getenv("TAV_D3D8_FAULTS");
  const char* lost;
  const char* maxTexture;
  if (faults == NULL) return;
  maxTexture = strstr(faults, "max-texture=");
  if (maxTexture != NULL) g_maxTexture = (DWORD)atoi(maxTexture + 12);
  g_pow2 = strstr(faults, "pow2") != NULL;
  g_createFails = strstr(faults, "create-fails") != NULL;
  g_resetLost = strstr(faults, "reset-lost") != NULL;
  lost = strstr(faults, "lost=");
  if (lost != NULL) g_lostFrames = atoi(lost + 5);
}

static HRESULT WINAPI FaultyGetDeviceCaps(IDirect3D8* self, UINT adapter, D3DDEVTYPE type,
                                    D3DCAPS8* caps) {
  HRESULT result = g_realGetDeviceCaps(self, adapter, type, caps);
  if (SUCCEEDED(result) && g_pow2) {
    caps->TextureCaps |= D3DPTEXTURECAPS_POW2;
    caps->TextureCaps &= ~(DWORD)D3DPTEXTURECAPS_NONPOW2CONDITIONAL;
    Say("texture caps: powers of two only");
  }
  if (SUCCEEDED(result) && g_maxTexture > 0) {
    if (caps->MaxTextureWidth > g_maxTexture) caps->MaxTextureWidth = g_maxTexture;
    if (caps->MaxTextureHeight > g_maxTexture) caps->MaxTextureHeight = g_maxTexture;
    Say("texture caps: smaller textures");
  }
  return result;
}

static HRESULT WINAPI FaultyPresent(IDirect3DDevice8* self, const RECT* source, const RECT* target,
                              HWND window, const RGNDATA* dirty) {
  ++g_frame;
  if (g_lostFrames > 0 && g_frame == 30) {
    g_lostLeft = g_lostFrames;
    Say("Present: the device is lost");
  }
  if (g_lostLeft > 0) {
    if (--g_lostLeft == 0) {
      g_testsLostLeft = 5;
      g_needsReset = 1;
    }
    return D3DERR_DEVICELOST;
  }
  return g_realPresent(self, source, target, window, dirty);
}

static HRESULT WINAPI FaultyTestCooperativeLevel(IDirect3DDevice8* self) {
  if (g_lostLeft > 0) return D3D_OK; /* lost in Present only, as after a mode switch */
  if (g_testsLostLeft > 0) {
    --g_testsLostLeft;
    return D3DERR_DEVICELOST;
  }
  if (g_needsReset) return D3DERR_DEVICENOTRESET;
  return g_realTestCooperativeLevel(self);
}

static HRESULT WINAPI FaultyReset(IDirect3DDevice8* self, D3DPRESENT_PARAMETERS* parameters) {
  HRESULT result;
  if (g_resetLost) {
    g_resetLost = 0;
    Say("Reset: the device was lost again");
    return D3DERR_DEVICELOST;
  }
  result = g_realReset(self, parameters);
  if (SUCCEEDED(result)) {
    g_needsReset = 0;
    Say("Reset: done");
  }
  return result;
}

static HRESULT WINAPI FaultyCreateDevice(IDirect3D8* self, UINT adapter, D3DDEVTYPE type, HWND window,
                                   DWORD flags, D3DPRESENT_PARAMETERS* parameters,
                                   IDirect3DDevice8** device) {
  HRESULT result;
  if (g_createFails) {
    Say("CreateDevice: fails");
    *device = NULL;
    return D3DERR_NOTAVAILABLE;
  }
  result = g_realCreateDevice(self, adapter, type, window, flags, parameters, device);
  if (SUCCEEDED(result) && *device != NULL) {
    /* The device's own table is shared by every device: a copy with the wrapped
       entries is given to this one. */
    g_deviceTable = *(*device)->lpVtbl;
    g_realPresent = g_deviceTable.Present;
    g_realTestCooperativeLevel = g_deviceTable.TestCooperativeLevel;
    g_realReset = g_deviceTable.Reset;
    g_deviceTable.Present = FaultyPresent;
    g_deviceTable.TestCooperativeLevel = FaultyTestCooperativeLevel;
    g_deviceTable.Reset = FaultyReset;
    (*device)->lpVtbl = &g_deviceTable;
  }
  return result;
}

__declspec(dllexport) IDirect3D8* WINAPI Direct3DCreate8(UINT version) {
  wchar_t path[MAX_PATH];
  HMODULE real;
  CreateFunction create;
  IDirect3D8* direct3d;
  UINT length = GetSystemDirectoryW(path, MAX_PATH - 16);
  if (length == 0 || length >= MAX_PATH - 16) return NULL;
  wcscat(path, L"\\d3d8.dll");
  real = LoadLibraryW(path);
  if (real == NULL) {
    Say("the system's d3d8.dll cannot be loaded");
    return NULL;
  }
  create = (CreateFunction)(void*)GetProcAddress(real, "Direct3DCreate8");
  if (create == NULL) return NULL;
  ReadFaults();
  direct3d = create(version);
  if (direct3d == NULL) return NULL;
  g_direct3dTable = *direct3d->lpVtbl;
  g_realGetDeviceCaps = g_direct3dTable.GetDeviceCaps;
  g_realCreateDevice = g_direct3dTable.CreateDevice;
  g_direct3dTable.GetDeviceCaps = FaultyGetDeviceCaps;
  g_direct3dTable.CreateDevice = FaultyCreateDevice;
  direct3d->lpVtbl = &g_direct3dTable;
  Say("loaded");
  return direct3d;
}
