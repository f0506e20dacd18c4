#ifndef TJVX_FUZZ_FUZZ_TARGETS_H_
#define TJVX_FUZZ_FUZZ_TARGETS_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The bodies of the fuzz targets. Each fuzz program calls one from LLVMFuzzerTestOneInput; the
// replay test calls them on the saved inputs of tests/fuzzFail/ and the seed corpora, without
// libFuzzer. A broken property aborts, which both count as a finding.
namespace tjvx::fuzz {

// CP932 decoding of any bytes, then the field reader over the text.
int Cp932Fields(const uint8_t* data, size_t size);
// NumericValue, FormatFixedPoint, NormaliseField, ToFullWidth and the other text routines.
int TextRoutines(const uint8_t* data, size_t size);
// CheckPath over a drive table of two mapped folders.
int CheckPathOnDrives(const uint8_t* data, size_t size);
// A whole conversion of a source folder and a pattern folder carved out of the input.
int WholeConversion(const uint8_t* data, size_t size);
// A converted file of any bytes (the first picks scale and paper) read, laid out and written as
// SVG and HTML, as `tjvx preview` does.
int PreviewDrawing(const uint8_t* data, size_t size);

}  // namespace tjvx::fuzz

#define TJVX_FUZZ_CHECK(condition)                                                          \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (0)

// Defines the libFuzzer entry point of a fuzz program; left out where the replay test links the
// bodies together.
#ifdef TJVX_FUZZ_NO_MAIN
#define TJVX_FUZZ_ENTRY(body)
#else
#define TJVX_FUZZ_ENTRY(body)                                               \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
    return body(data, size);                                                \
  }
#endif

#endif  // TJVX_FUZZ_FUZZ_TARGETS_H_
