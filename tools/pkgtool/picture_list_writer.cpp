// TGA frame reading and ".spt" picture list writing for pkgtool.
#include "tools/pkgtool/picture_list_writer.h"

#include <cstring>

#include "tools/pkgtool/file_io.h"

namespace tav {
namespace {

constexpr char kPictureListMagic[] = "SPT Pictures list  ";  // 19 characters and a NUL
constexpr size_t kPictureListHeaderSize = 60;
constexpr size_t kActionHeaderSize = 33;
constexpr size_t kTgaHeaderSize = 18;
constexpr uint8_t kTgaUncompressedTrueColour = 2;
constexpr uint8_t kTgaTopToBottom = 0x20;
constexpr uint8_t kTgaRightToLeft = 0x10;

uint16_t LittleEndian16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

void AppendLittleEndian32(std::string* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

bool ReadTgaFrame(const std::string& path, TgaFrame* frame, std::string* error) {
  std::string contents;
  if (!ReadInputFile(path, &contents, error)) return false;
  const std::vector<uint8_t> file(contents.begin(), contents.end());
  if (file.size() < kTgaHeaderSize) {
    *error = "'" + path + "' is too short to be a TGA file";
    return false;
  }
  const uint8_t* header = file.data();
  uint8_t idLength = header[0];
  uint8_t colourMapType = header[1];
  uint8_t imageType = header[2];
  int width = LittleEndian16(header + 12);
  int height = LittleEndian16(header + 14);
  int bits = header[16];
  uint8_t descriptor = header[17];
  if (colourMapType != 0 || imageType != kTgaUncompressedTrueColour) {
    *error = "'" + path + "' is not an uncompressed true-colour TGA";
    return false;
  }
  if (bits != 24 && bits != 32) {
    *error = "'" + path + "' has " + std::to_string(bits) + " bits per pixel, not 24 or 32";
    return false;
  }
  if (width == 0 || height == 0) {
    *error = "'" + path + "' has no pixels";
    return false;
  }
  if (descriptor & kTgaRightToLeft) {
    *error = "'" + path + "' stores its rows right to left";
    return false;
  }
  size_t rowBytes = static_cast<size_t>(width) * (bits / 8);
  size_t pixelBytes = rowBytes * height;
  size_t start = kTgaHeaderSize + idLength;
  if (file.size() < start || file.size() - start < pixelBytes) {
    *error = "'" + path + "' is truncated";
    return false;
  }
  frame->width = width;
  frame->height = height;
  frame->bitsPerPixel = bits;
  frame->pixels.resize(pixelBytes);
  bool topFirst = (descriptor & kTgaTopToBottom) != 0;
  for (int row = 0; row < height; ++row) {
    int sourceRow = topFirst ? row : height - 1 - row;
    std::memcpy(frame->pixels.data() + rowBytes * row, file.data() + start + rowBytes * sourceRow,
                rowBytes);
  }
  return true;
}

bool BuildPictureList(const PictureListSettings& settings,
                      const std::vector<PictureListAction>& actions, std::string* bytes,
                      std::string* error) {
  if (actions.empty()) {
    *error = "a picture list needs at least one --action";
    return false;
  }
  std::string body;
  TgaFrame first;
  bool haveFirst = false;
  for (const PictureListAction& action : actions) {
    if (action.name.empty() || action.name.size() > kMaxActionName) {
      *error = "action name '" + action.name + "' must have 1 to 31 characters";
      return false;
    }
    if (action.framePaths.empty() ||
        action.framePaths.size() > static_cast<size_t>(kMaxFramesPerAction)) {
      *error = "action '" + action.name + "' has " + std::to_string(action.framePaths.size()) +
               " frames, not 1 to 127";
      return false;
    }
    std::string actionHeader(kActionHeaderSize, '\0');
    std::memcpy(actionHeader.data(), action.name.data(), action.name.size());
    actionHeader[32] = static_cast<char>(action.framePaths.size());
    body += actionHeader;
    for (const std::string& path : action.framePaths) {
      TgaFrame frame;
      if (!ReadTgaFrame(path, &frame, error)) return false;
      if (!haveFirst) {
        first = frame;
        haveFirst = true;
      } else if (frame.width != first.width || frame.height != first.height ||
                 frame.bitsPerPixel != first.bitsPerPixel) {
        *error = "'" + path + "' is " + std::to_string(frame.width) + "x" +
                 std::to_string(frame.height) + "x" + std::to_string(frame.bitsPerPixel) +
                 ", unlike the first frame's " + std::to_string(first.width) + "x" +
                 std::to_string(first.height) + "x" + std::to_string(first.bitsPerPixel);
        return false;
      }
      body.append(reinterpret_cast<const char*>(frame.pixels.data()), frame.pixels.size());
    }
  }

  std::string header(kPictureListMagic, sizeof(kPictureListMagic));  // with its NUL
  AppendLittleEndian32(&header, static_cast<uint32_t>(first.width));
  AppendLittleEndian32(&header, static_cast<uint32_t>(first.height));
  AppendLittleEndian32(&header, static_cast<uint32_t>(first.bitsPerPixel));
  AppendLittleEndian32(&header, static_cast<uint32_t>(actions.size()));
  for (int32_t corner : settings.boundingBox)
    AppendLittleEndian32(&header, static_cast<uint32_t>(corner));
  uint32_t durationBits;
  static_assert(sizeof(durationBits) == sizeof(settings.frameDuration));
  std::memcpy(&durationBits, &settings.frameDuration, sizeof(durationBits));
  AppendLittleEndian32(&header, durationBits);
  header.push_back(static_cast<char>(settings.mode));
  header.push_back(static_cast<char>(settings.collision));
  header.append(2, '\0');
  if (header.size() != kPictureListHeaderSize) {
    *error = "internal error: picture list header is " + std::to_string(header.size()) + " bytes";
    return false;
  }
  *bytes = header + body;
  return true;
}

bool WritePictureList(const std::string& outputPath, const PictureListSettings& settings,
                      const std::vector<PictureListAction>& actions, std::string* error) {
  std::string bytes;
  if (!BuildPictureList(settings, actions, &bytes, error)) return false;
  return WriteOutputFile(outputPath, bytes, error);
}

}  // namespace tav
