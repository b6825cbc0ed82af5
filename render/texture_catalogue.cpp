// The texture catalogue: loads ".tga" pictures and ".spt" picture lists from the
// package on first request, applies their Data\Textures.ini settings and owns the
// renderer textures until Clear().
#include "render/texture_catalogue.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/ini_file.h"
#include "base/log.h"
#include "base/package_file_system.h"
#include "render/tga_decoder.h"

namespace tav {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

// The characters from the last '.' to the end; empty when there is no '.' or a
// path separator follows it.
std::string Extension(const std::string& name) {
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return std::string();
  if (name.find_first_of("\\/", dot) != std::string::npos) return std::string();
  return name.substr(dot);
}

uint32_t ReadU32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

int32_t ReadI32(const uint8_t* bytes) { return static_cast<int32_t>(ReadU32(bytes)); }

float ReadF32(const uint8_t* bytes) {
  uint32_t bits = ReadU32(bytes);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// One picture's settings in Data\Textures.ini, with the "Defaults" section as
// the fallback for the keys that have one.
class TextureSettings {
 public:
  explicit TextureSettings(const std::string& pictureName) : section_(pictureName) {
    ini_.Open("Data\\Textures.ini");
  }

  bool Get(const char* key, bool useDefaults, std::string* value) {
    if (ini_.Get(section_, key, value)) return true;
    return useDefaults && ini_.Get("Defaults", key, value);
  }

  // Sets *field to the value of the first listed word that matches; anything else
  // leaves it unchanged.
  void Choose(const char* key, bool useDefaults, const char* firstWord, int firstValue,
              const char* secondWord, int secondValue, int* field) {
    std::string value;
    if (!Get(key, useDefaults, &value)) return;
    if (SameTextIgnoringCase(value, firstWord)) *field = firstValue;
    else if (SameTextIgnoringCase(value, secondWord)) *field = secondValue;
  }

  void ReadInteger(const char* key, int* field) {
    std::string value;
    if (!Get(key, false, &value) || value.empty()) return;
    char* end = nullptr;
    errno = 0;
    long number = std::strtol(value.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || number < INT32_MIN || number > INT32_MAX) {
      LogLine("WARNING: %s = %s is not a whole number (%s).\n", key, value.c_str(),
              section_.c_str());
      return;
    }
    *field = static_cast<int>(number);
  }

 private:
  IniFile ini_;
  std::string section_;
};

constexpr size_t kSptHeaderSize = 60;
constexpr size_t kSptActionHeaderSize = 33;
constexpr size_t kActionNameSize = 32;
const char kSptMagic[] = "SPT Pictures list  ";

}  // namespace

SpriteAction::~SpriteAction() {
  Renderer* renderer = GetRenderer();
  if (renderer == nullptr) return;
  for (RendererTexture& frame : frames) renderer->DestroyTexture(frame);
}

SpriteAction* Texture::Action(int index) {
  if (index < 0 || index >= ActionCount()) return nullptr;
  return actions[static_cast<size_t>(index)].get();
}

SpriteAction* Texture::FindAction(const std::string& actionName) {
  SpriteAction* found = nullptr;
  for (auto& action : actions)
    if (SameTextIgnoringCase(action->name, actionName)) found = action.get();
  return found;
}

const std::string& Texture::FirstActionName() const {
  static const std::string kNone;
  return actions.empty() ? kNone : actions.front()->name;
}

// Never destroyed: at process exit the renderer may already be gone, so freeing
// textures then could touch a dead renderer. Clear() is the orderly way out.
TextureCatalogue& TextureCatalogue::Instance() {
  static TextureCatalogue* catalogue = new TextureCatalogue();
  return *catalogue;
}

Texture& TextureCatalogue::Get(const std::string& name) {
  std::string key = name;
  for (char& c : key) c = LowerAscii(c);
  const auto found = byLowerName_.find(key);
  if (found != byLowerName_.end()) return *found->second;

  textures_.push_back(std::make_unique<Texture>());
  Texture& texture = *textures_.back();
  texture.name = name;
  // A failed load is a fatal report. When it raises, or when it returns because
  // raising is off, the half-built Texture is dropped so that it is never handed
  // out as if it were loaded.
  bool loaded = false;
  try {
    loaded = Load(texture);
  } catch (...) {
    textures_.pop_back();
    throw;
  }
  if (loaded) {
    byLowerName_.emplace(std::move(key), &texture);
    return texture;
  }
  textures_.pop_back();
  static Texture emptyTexture;
  return emptyTexture;
}

void TextureCatalogue::Clear() {
  byLowerName_.clear();
  textures_.clear();
}

bool TextureCatalogue::SharpSetPresent() const {
  if (sharpPackage_.empty()) return false;
  std::vector<PackageFileSystem::Entry> entries;
  return PackageFileSystem::ReadDirectory(sharpPackage_, &entries) ==
             PackageFileSystem::ReadResult::kOk &&
         !entries.empty();
}

bool TextureCatalogue::MakePictureTexture(const std::string& name, int scale, int width,
                                          int height, int bitsPerPixel,
                                          RendererTexture& texture) const {
  Renderer* renderer = GetRenderer();
  if (renderer == nullptr) return false;
  if (scale != 2) {
    MemoryFile file;
    int madeWidth = 0, madeHeight = 0, madeBits = 0;
    RendererTexture made;
    if (!file.Open(name) || !renderer->CreateTextureFromTga(file.Data(), file.Size(), &madeWidth,
                                                            &madeHeight, &madeBits, made)) {
      LogLine("WARNING: %s cannot be loaded again; its twice-size picture stays.\n",
              name.c_str());
      return false;
    }
    if (madeWidth != width || madeHeight != height) {
      renderer->DestroyTexture(made);
      LogLine("WARNING: %s changed its size; its twice-size picture stays.\n", name.c_str());
      return false;
    }
    texture = made;
    return true;
  }
  if (sharpPackage_.empty()) return false;
  std::vector<uint8_t> bytes;
  bool found = false;
  if (PackageFileSystem::Load(sharpPackage_, name, &bytes, &found) !=
          PackageFileSystem::ReadResult::kOk ||
      !found) {
    LogLine("WARNING: The twice-size pictures have no usable %s; the game's own is drawn.\n",
            name.c_str());
    return false;
  }
  // The size is checked before anything is uploaded.
  int sharpWidth = 0, sharpHeight = 0, sharpBits = 0;
  ReadTgaHeader(bytes.data(), bytes.size(), &sharpWidth, &sharpHeight, &sharpBits);
  if (sharpWidth != 2 * width || sharpHeight != 2 * height || sharpBits != bitsPerPixel) {
    LogLine("WARNING: The twice-size %s is %dx%d at %d bits, not %dx%d at %d; the game's own "
            "is drawn.\n",
            name.c_str(), sharpWidth, sharpHeight, sharpBits, 2 * width, 2 * height,
            bitsPerPixel);
    return false;
  }
  RendererTexture made;
  int madeWidth = 0, madeHeight = 0, madeBits = 0;
  if (!renderer->CreateTextureFromTga(bytes.data(), bytes.size(), &madeWidth, &madeHeight,
                                      &madeBits, made)) {
    LogLine("WARNING: The twice-size %s cannot be decoded; the game's own is drawn.\n",
            name.c_str());
    return false;
  }
  texture = made;
  return true;
}

bool TextureCatalogue::MakeTextureInUse(const std::string& name, const uint8_t* bytes,
                                        size_t byteCount, int* width, int* height,
                                        int* bitsPerPixel, int* madeScale,
                                        RendererTexture& texture) const {
  Renderer* renderer = GetRenderer();
  if (renderer == nullptr) return false;
  // The game's own picture gives only its size in game units here; it is decoded and
  // uploaded only when the twice-size one cannot stand in for it.
  if (scale_ == 2 && TgaIsWhole(bytes, byteCount, width, height, bitsPerPixel) &&
      MakePictureTexture(name, 2, *width, *height, *bitsPerPixel, texture)) {
    *madeScale = 2;
    return true;
  }
  *madeScale = 1;
  return renderer->CreateTextureFromTga(bytes, byteCount, width, height, bitsPerPixel, texture);
}

void TextureCatalogue::UsePictureScale(int scale) {
  scale_ = scale == 2 ? 2 : 1;
  for (auto& texture : textures_) {
    if (!SameTextIgnoringCase(Extension(texture->name), ".tga")) continue;
    RemakeTga(*texture);
  }
}

void TextureCatalogue::RemakeTga(Texture& texture) {
  Renderer* renderer = GetRenderer();
  if (renderer == nullptr || texture.scale == scale_ || texture.actions.empty() ||
      texture.actions.front()->frames.empty()) {
    return;
  }
  RendererTexture& frame = texture.actions.front()->frames.front();
  RendererTexture made;
  if (!MakePictureTexture(texture.name, scale_, texture.width, texture.height,
                          texture.bitsPerPixel, made)) {
    return;
  }
  // The Texture stays where it is: sprites hold it, and draw whichever texture it has.
  renderer->DestroyTexture(frame);
  frame = made;
  texture.scale = scale_;
}

bool TextureCatalogue::Load(Texture& texture) {
  const std::string& name = texture.name;
  const std::string extension = Extension(name);
  const bool isTga = SameTextIgnoringCase(extension, ".tga");
  const bool isSpt = SameTextIgnoringCase(extension, ".spt");
  if (!isTga && !isSpt) {
    ReportFatal("Unkown texture format %s.", name.c_str());
    return false;
  }
  TextureSettings settings(name);
  Renderer* renderer = GetRenderer();
  MemoryFile file;
  if (!file.Open(name)) {
    ReportFatal("Failed to open texture %s.", name.c_str());
    return false;
  }

  if (isTga) {
    texture.actions.push_back(std::make_unique<SpriteAction>());
    SpriteAction& action = *texture.actions.back();
    action.frames.emplace_back();
    if (!MakeTextureInUse(name, file.Data(), file.Size(), &texture.width, &texture.height,
                          &texture.bitsPerPixel, &texture.scale, action.frames.back())) {
      action.frames.pop_back();
      ReportFatal("Failed to generate texture %s", name.c_str());
      return false;
    }
    int mode = texture.mode;
    int collision = texture.collision;
    settings.Choose("Mode", true, "static", 0, "dynamic", 1, &mode);
    settings.Choose("Collision", true, "true", 1, "false", 0, &collision);
    texture.mode = static_cast<unsigned char>(mode);
    texture.collision = static_cast<unsigned char>(collision);
  } else {
    if (file.Size() < kSptHeaderSize) {
      ReportFatal("Invalid .spt header %s.", name.c_str());
      return false;
    }
    const uint8_t* header = file.Data();
    if (strnlen(reinterpret_cast<const char*>(header), 20) != sizeof kSptMagic - 1 ||
        std::memcmp(header, kSptMagic, sizeof kSptMagic - 1) != 0) {
      ReportFatal("Invalid .spt header %s.", name.c_str());
      return false;
    }
    texture.width = ReadI32(header + 20);
    texture.height = ReadI32(header + 24);
    texture.bitsPerPixel = ReadI32(header + 28);
    int32_t actionCount = ReadI32(header + 32);
    for (int i = 0; i < 4; ++i) texture.boundingBox[i] = ReadI32(header + 36 + 4 * i);
    texture.frameDuration = ReadF32(header + 52);
    texture.mode = header[56];
    texture.collision = header[57];

    // Every frame is width x height x bits / 8 bytes; the sizes come from the file,
    // so they are checked before anything is read.
    const bool sizeValid = texture.width >= 0 && texture.height >= 0 &&
                           (texture.bitsPerPixel == 24 || texture.bitsPerPixel == 32);
    const uint64_t frameBytes = sizeValid ? static_cast<uint64_t>(texture.width) *
                                                static_cast<uint64_t>(texture.height) *
                                                static_cast<uint64_t>(texture.bitsPerPixel / 8)
                                          : 0;
    uint64_t position = kSptHeaderSize;
    for (int32_t a = 0; a < actionCount; ++a) {
      if (file.Size() - position < kSptActionHeaderSize) {
        LogLine("WARNING: %s ends inside the header of action %d.\n", name.c_str(),
                static_cast<int>(a));
        ReportFatal("Invalid .spt header %s.", name.c_str());
        return false;
      }
      const uint8_t* actionHeader = file.Data() + position;
      texture.actions.push_back(std::make_unique<SpriteAction>());
      SpriteAction& action = *texture.actions.back();
      action.name.assign(reinterpret_cast<const char*>(actionHeader),
                         strnlen(reinterpret_cast<const char*>(actionHeader),
                                 kActionNameSize - 1));
      int frameCount = static_cast<int8_t>(actionHeader[kActionNameSize]);
      position += kSptActionHeaderSize;
      for (int f = 0; f < frameCount; ++f) {
        if (!sizeValid || renderer == nullptr || file.Size() - position < frameBytes) {
          if (sizeValid && renderer != nullptr)
            LogLine("WARNING: %s ends inside frame %d of action %s.\n", name.c_str(), f,
                    action.name.c_str());
          ReportFatal("Failed to generate texture %s", name.c_str());
          return false;
        }
        action.frames.emplace_back();
        if (!renderer->CreateTextureFromPixels(file.Data() + position, texture.width,
                                               texture.height, texture.bitsPerPixel,
                                               action.frames.back())) {
          action.frames.pop_back();
          ReportFatal("Failed to generate texture %s", name.c_str());
          return false;
        }
        position += frameBytes;
      }
    }
  }
  texture.currentActionName = texture.FirstActionName();
  file.Close();

  settings.Choose("Filter", true, "nearest", kFilterNearest, "linear", kFilterLinear,
                  &texture.filter);
  texture.blendMode = texture.bitsPerPixel == 32 ? kBlendNormal : kBlendNone;
  std::string blend;
  if (settings.Get("BlendMode", false, &blend)) {
    if (SameTextIgnoringCase(blend, "none")) texture.blendMode = kBlendNone;
    else if (SameTextIgnoringCase(blend, "normal")) texture.blendMode = kBlendNormal;
    else if (SameTextIgnoringCase(blend, "multiply")) texture.blendMode = kBlendMultiply;
  }
  settings.ReadInteger("BoundingBox_x1", &texture.boundingBox[0]);
  settings.ReadInteger("BoundingBox_y1", &texture.boundingBox[1]);
  settings.ReadInteger("BoundingBox_x2", &texture.boundingBox[2]);
  settings.ReadInteger("BoundingBox_y2", &texture.boundingBox[3]);
  return true;
}

}  // namespace tav
