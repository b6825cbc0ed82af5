// Test sound writers (a tone as WAV and as Ogg Vorbis).
#include "tests/audio/sound_files.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <numbers>
#include <cstdint>
#include <fstream>
#include <vector>

namespace tav {

namespace {

std::vector<float> Tone(double seconds, int rate) {
  std::vector<float> samples(static_cast<size_t>(seconds * rate));
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = 0.4f * static_cast<float>(std::sin(2.0 * std::numbers::pi * 440.0 * i / rate));
  }
  return samples;
}

void PutLittleEndian(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

bool WriteToneWav(const std::string& path, double seconds, int rate) {
  const std::vector<float> samples = Tone(seconds, rate);
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::ofstream out(path, std::ios::binary);
  out.write("RIFF", 4);
  PutLittleEndian(out, 36 + dataBytes, 4);
  out.write("WAVEfmt ", 8);
  PutLittleEndian(out, 16, 4);        // format chunk size
  PutLittleEndian(out, 1, 2);         // PCM
  PutLittleEndian(out, 1, 2);         // mono
  PutLittleEndian(out, rate, 4);
  PutLittleEndian(out, rate * 2, 4);  // bytes per second
  PutLittleEndian(out, 2, 2);         // bytes per frame
  PutLittleEndian(out, 16, 2);        // bits per sample
  out.write("data", 4);
  PutLittleEndian(out, dataBytes, 4);
  for (float sample : samples) {
    PutLittleEndian(out, static_cast<uint16_t>(static_cast<int16_t>(sample * 32767.0f)), 2);
  }
  return static_cast<bool>(out);
}

bool WriteToneOgg(const std::string& path, double seconds, int rate) {
  const std::vector<float> samples = Tone(seconds, rate);
  std::ofstream out(path, std::ios::binary);

  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, 1, rate, 0.3f) != 0) {
    vorbis_info_clear(&info);
    return false;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 1);

  ogg_packet header, headerComment, headerCode;
  vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &headerComment);
  ogg_stream_packetin(&stream, &headerCode);
  ogg_page page;
  auto writePage = [&out](const ogg_page& p) {
    out.write(reinterpret_cast<const char*>(p.header), p.header_len);
    out.write(reinterpret_cast<const char*>(p.body), p.body_len);
  };
  while (ogg_stream_flush(&stream, &page) != 0) writePage(page);

  size_t position = 0;
  bool endOfInput = false;
  bool endOfStream = false;
  while (!endOfStream) {
    if (position < samples.size()) {
      const size_t count = std::min<size_t>(1024, samples.size() - position);
      float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
      for (size_t i = 0; i < count; ++i) buffer[0][i] = samples[position + i];
      vorbis_analysis_wrote(&dsp, static_cast<int>(count));
      position += count;
    } else if (!endOfInput) {
      vorbis_analysis_wrote(&dsp, 0);
      endOfInput = true;
    }
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) {
          writePage(page);
          if (ogg_page_eos(&page) != 0) endOfStream = true;
        }
      }
    }
    if (endOfInput && !endOfStream && vorbis_analysis_blockout(&dsp, &block) == 0) {
      // Everything analysed; flush what is left.
      while (ogg_stream_flush(&stream, &page) != 0) writePage(page);
      endOfStream = true;
    }
  }

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return static_cast<bool>(out);
}

}  // namespace tav
