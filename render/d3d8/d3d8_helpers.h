// The few things the Direct3D 8 back-end needs beyond Direct3D itself, written here
// because the toolchain has no Direct3D extension library: pixel conversion into the
// texture formats the back-end uses, the orthographic projection matrix, the vertex
// colour word and the names of Direct3D error codes. Plain data and arithmetic with
// no Windows headers, so that they are tested on every platform.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tav {

// The texture formats the back-end chooses among (values as Direct3D numbers them).
enum class D3DTextureFormat : uint32_t {
  kA8R8G8B8 = 21,
  kX8R8G8B8 = 22,
  kR5G6B5 = 23,
  kA4R4G4B4 = 26,
};

int BytesPerTexel(D3DTextureFormat format);
bool FormatHasAlpha(D3DTextureFormat format);

// Converts `width` x `height` pixels in B, G, R (, A) byte order (`bitsPerPixel` 24
// or 32, rows packed, first row on top) into `format`, writing each row at
// `destination + row * destinationPitch` in the texel layout Direct3D expects
// (little-endian words, alpha or the unused byte at the top). Formats without alpha
// drop it; A4R4G4B4 and R5G6B5 keep the top bits of each channel; a 24-bit source
// gives opaque alpha.
void ConvertPixelsToTexels(const uint8_t* pixels, int width, int height, int bitsPerPixel,
                           D3DTextureFormat format, uint8_t* destination,
                           size_t destinationPitch);

// The smallest power of two not below `size` (1 for sizes below 1).
int NextPowerOfTwo(int size);

// For devices that take only power-of-two (and perhaps only square) textures: the
// `width` x `height` pixels (`bitsPerPixel` 24 or 32) copied into the top-left of a
// `*paddedWidth` x `*paddedHeight` picture, the last column and row repeated into
// the padding so that filtering at the picture's edges sees what clamping would.
// Drawn with texture coordinates scaled by width / paddedWidth and height /
// paddedHeight, it shows the same picture.
std::vector<uint8_t> PadToPowerOfTwo(const uint8_t* pixels, int width, int height,
                                     int bitsPerPixel, bool square, int* paddedWidth,
                                     int* paddedHeight);

// A left-handed off-centre orthographic projection (row-major, row vectors, as
// Direct3D multiplies them): x from left to right and y from bottom to top map onto
// -1..1, z from zNear to zFar onto 0..1.
std::array<float, 16> OrthoOffCenterLH(float left, float right, float bottom, float top,
                                       float zNear, float zFar);

// The projection of a width x height screen with the origin at the bottom-left. It
// is moved half a pixel against the raster so that pixel centres fall where OpenGL
// puts them (Direct3D 8 samples pixels at whole coordinates, OpenGL half-way
// between): without it every picture drawn by this back-end sits half a pixel off
// and nearest-filtered pictures pick different texels than the OpenGL back-end.
std::array<float, 16> ScreenProjection(int width, int height);
// The same for the game's unitsWidth x unitsHeight space drawn onto a back buffer of
// pixelsWidth x pixelsHeight (the letterbox's size, for the twice-size pictures): the
// shift is half a back-buffer pixel, so pixel centres still fall where OpenGL's do.
std::array<float, 16> ScreenProjection(int unitsWidth, int unitsHeight, int pixelsWidth,
                                       int pixelsHeight);

// Whether a device whose textures are at most maxWidth x maxHeight takes a picture of
// width x height, padded to a power of two (and a square) where the device wants one.
bool TextureFits(int width, int height, bool powerOfTwo, bool square, uint32_t maxWidth,
                 uint32_t maxHeight);

// The diffuse colour word of a vertex: alpha in the top byte, then red, green, blue,
// each channel x 255 truncated (values outside 0..1 are clamped first).
uint32_t VertexColour(float red, float green, float blue, float alpha);

// "D3DERR_NOTAVAILABLE" and the like for the codes Direct3D 8 returns; other codes
// as "Unrecognized error: 0x%08x".
std::string D3DErrorName(int64_t code);

}  // namespace tav
