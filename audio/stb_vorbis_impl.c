/* The one translation unit that compiles stb_vorbis (Debian's libstb-dev ships the
   decoder as a header that carries its implementation). It is third-party code, so
   it is built apart from ours with its warnings silenced; the decoder uses only the
   memory interface, so the stdio parts are left out. Its memory comes from a block
   the caller hands it (see sound_decoder.cpp). */
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb/stb_vorbis.h>
