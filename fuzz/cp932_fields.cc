// Fuzz target: any bytes through the CP932 decoder, then the field reader over the text.

#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "fuzz/fuzz_targets.h"
#include "platform/cp932.h"
#include "source/field_reader.h"

namespace tjvx::fuzz {

int Cp932Fields(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses how many fields a record has.
  const size_t count = data[0] % 16 + 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  std::u16string text;
  try {
    text = platform::DecodeCp932(bytes, u"F.TXT");
  } catch (const base::Error& error) {
    // Refused bytes are named by file, line and an offset inside the input.
    TJVX_FUZZ_CHECK(error.kind() == base::Error::Kind::kBadCharacter);
    TJVX_FUZZ_CHECK(error.file() == u"F.TXT");
    TJVX_FUZZ_CHECK(error.offset() >= 0 && static_cast<size_t>(error.offset()) < bytes.size());
    TJVX_FUZZ_CHECK(error.line() >= 1);
    return 0;
  }
  TJVX_FUZZ_CHECK(text.size() <= bytes.size());
  // Whatever was read can be written again, in as many bytes, and reads back the same.
  const std::string again = platform::EncodeCp932(text, u"F.TXT");
  TJVX_FUZZ_CHECK(again.size() == bytes.size());
  TJVX_FUZZ_CHECK(platform::DecodeCp932(again, u"F.TXT") == text);

  source::FieldReader reader(text, u"F.TXT");
  // A second reader takes only the first fields of each record, as many as the record's number
  // says, and must end each record where the first does. A third reads every field alone, the
  // careful way that no shortcut of the record reading takes, and must find the same fields.
  source::FieldReader passing(text, u"F.TXT");
  source::FieldReader careful(text, u"F.TXT");
  std::vector<std::u16string_view> fields, first_fields(count), careful_fields;
  size_t records = 0;
  try {
    while (!reader.AtEnd()) {
      const long long line = reader.line();
      const size_t taken = records % (count + 1);
      bool passing_cut = false;
      try {
        passing.ReadRecord(first_fields, taken);
      } catch (const base::Error&) {
        passing_cut = true;
      }
      bool careful_cut = false;
      careful_fields.clear();
      try {
        while (careful_fields.size() < count) careful_fields.push_back(careful.ReadField());
      } catch (const base::Error&) {
        careful_cut = true;
      }
      try {
        reader.ReadRecord(count, fields);
      } catch (const base::Error&) {
        TJVX_FUZZ_CHECK(passing_cut && careful_cut);
        throw;
      }
      TJVX_FUZZ_CHECK(!passing_cut && !careful_cut);
      TJVX_FUZZ_CHECK(careful_fields == fields);
      TJVX_FUZZ_CHECK(careful.line() == reader.line());
      for (size_t k = 0; k < taken; ++k) TJVX_FUZZ_CHECK(first_fields[k] == fields[k]);
      TJVX_FUZZ_CHECK(passing.line() == reader.line());
      TJVX_FUZZ_CHECK(passing.record_line() == reader.record_line());
      TJVX_FUZZ_CHECK(fields.size() == count);
      for (std::u16string_view field : fields) {
        // No value carries a line break or the Ctrl-Z that ends the file.
        TJVX_FUZZ_CHECK(field.find_first_of(u"\r\n\x1A") == std::u16string_view::npos);
      }
      TJVX_FUZZ_CHECK(reader.line() >= line);
      // Every record takes at least one character, so the reader always comes to an end.
      TJVX_FUZZ_CHECK(++records <= text.size());
    }
  } catch (const base::Error& error) {
    TJVX_FUZZ_CHECK(error.kind() == base::Error::Kind::kRecordCutShort);
    TJVX_FUZZ_CHECK(error.file() == u"F.TXT");
    TJVX_FUZZ_CHECK(error.line() >= 1);
  }
  return 0;
}

}  // namespace tjvx::fuzz

TJVX_FUZZ_ENTRY(tjvx::fuzz::Cp932Fields)
