// WAV and Ogg Vorbis encoding of rendered sounds.
#include "tools/sfxgen/audio_files.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace tav::sfx {
namespace {

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void AppendPage(std::string& out, const ogg_page& page) {
  out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
  out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
}

}  // namespace

std::vector<int16_t> ToPcm16(const Buffer& buffer) {
  std::vector<int16_t> pcm(buffer.samples.size());
  for (size_t i = 0; i < pcm.size(); ++i) {
    double value = std::clamp(static_cast<double>(buffer.samples[i]), -1.0, 1.0);
    pcm[i] = static_cast<int16_t>(std::lround(value * 32767.0));
  }
  return pcm;
}

std::string EncodeWav(const Buffer& buffer) {
  const std::vector<int16_t> pcm = ToPcm16(buffer);
  const uint32_t channels = static_cast<uint32_t>(buffer.channels);
  const uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
  std::string out = "RIFF";
  PutLittleEndian(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  PutLittleEndian(out, 16, 4);                           // fmt chunk size
  PutLittleEndian(out, 1, 2);                            // PCM
  PutLittleEndian(out, channels, 2);
  PutLittleEndian(out, kSampleRate, 4);
  PutLittleEndian(out, kSampleRate * channels * 2, 4);   // bytes per second
  PutLittleEndian(out, channels * 2, 2);                 // bytes per frame
  PutLittleEndian(out, 16, 2);                           // bits per sample
  out += "data";
  PutLittleEndian(out, dataBytes, 4);
  for (int16_t sample : pcm) PutLittleEndian(out, static_cast<uint16_t>(sample), 2);
  return out;
}

std::string EncodeOggVorbis(const Buffer& buffer, float quality) {
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, buffer.channels, kSampleRate, quality) != 0) {
    vorbis_info_clear(&info);
    throw std::runtime_error("the Vorbis encoder refused the settings");
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_comment_add_tag(&comment, "TITLE", "Tavrolith");
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, kOggSerial);

  std::string out;
  ogg_page page;
  ogg_packet packet;
  ogg_packet headerComments, headerCodebooks;
  vorbis_analysis_headerout(&dsp, &comment, &packet, &headerComments, &headerCodebooks);
  ogg_stream_packetin(&stream, &packet);
  ogg_stream_packetin(&stream, &headerComments);
  ogg_stream_packetin(&stream, &headerCodebooks);
  // The audio starts on a fresh page, as decoders expect.
  while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);

  const size_t frames = buffer.Frames();
  const int channels = buffer.channels;
  const size_t chunk = 4096;
  bool finished = false;
  for (size_t done = 0; !finished;) {
    size_t count = std::min(chunk, frames - done);
    if (count == 0) {
      vorbis_analysis_wrote(&dsp, 0);  // end of stream
    } else {
      float** input = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
      for (size_t i = 0; i < count; ++i) {
        for (int c = 0; c < channels; ++c) input[c][i] = buffer.samples[(done + i) * channels + c];
      }
      vorbis_analysis_wrote(&dsp, static_cast<int>(count));
      done += count;
    }
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) {
          AppendPage(out, page);
          if (ogg_page_eos(&page)) finished = true;
        }
      }
    }
    if (count == 0) finished = true;
  }
  while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace tav::sfx
