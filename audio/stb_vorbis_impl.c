/* The one translation unit that compiles stb_vorbis (Debian's libstb-dev ships the
   decoder as a header that carries its implementation). It is third-party code, so
   it is built apart from ours with its warnings silenced; the decoder uses only the
   memory interface, so the stdio parts are left out.

   A damaged file can make stb_vorbis ask for absurd amounts of memory (a length
   field read from the file goes straight into malloc), so every allocation it makes
   goes through a cap: anything larger than any stream of ours needs fails, which
   the decoder reports as an error like any other. */
#include <stdlib.h>
#include <string.h>
#include <assert.h>
#include <math.h>
#if defined(__MINGW32__)
#include <malloc.h>
#else
#include <alloca.h>
#endif

#define TAV_VORBIS_MAX_ALLOCATION ((size_t)16 << 20)

static void* TavVorbisMalloc(size_t size) {
  return size <= TAV_VORBIS_MAX_ALLOCATION ? malloc(size) : NULL;
}

static void* TavVorbisRealloc(void* block, size_t size) {
  return size <= TAV_VORBIS_MAX_ALLOCATION ? realloc(block, size) : NULL;
}

/* The standard headers are in already, so these reach only the decoder's calls. */
#define malloc(size) TavVorbisMalloc(size)
#define realloc(block, size) TavVorbisRealloc(block, size)

#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb/stb_vorbis.h>
