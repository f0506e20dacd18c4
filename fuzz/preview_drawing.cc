// Any file given to `tjvx preview`: the converted-file reader, the layout and the SVG and HTML
// writers on arbitrary bytes. Each input is refused with its line and cause, or drawn as
// well-formed XML that holds nothing active (no script, no event attribute, no outside link, no
// foreign content), and the log's properties of notes and N values hold on it.

#include <expat.h>

#include <set>
#include <string>
#include <string_view>

#include "base/utf.h"
#include "converted/reader.h"
#include "drawing/html.h"
#include "drawing/log_layout.h"
#include "drawing/svg.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/log_properties.h"
#include "fuzz/scratch_drives.h"
#include "platform/atomic_file.h"

namespace tjvx::fuzz {
namespace {

// The elements the writers may use; anything else (script, foreignObject, a, image, iframe, use
// …) is active content or a way to it.
const std::set<std::string_view> kAllowedElements = {
    "svg",   "g",    "rect", "line", "path",  "circle", "polygon", "polyline", "text",
    "tspan", "html", "head", "meta", "title", "style",  "body",    "div"};

struct Scan {
  std::string fault;
};

void OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  Scan& scan = *static_cast<Scan*>(data);
  std::string_view element = name;
  // The HTML document's elements carry its namespace before a separator (see below).
  if (const size_t bar = element.rfind('|'); bar != std::string_view::npos) {
    element.remove_prefix(bar + 1);
  }
  if (!kAllowedElements.contains(element)) scan.fault = "element " + std::string(element);
  for (int i = 0; attributes[i] != nullptr; i += 2) {
    const std::string_view attribute = attributes[i];
    if (attribute.starts_with("on") || attribute.find("href") != std::string_view::npos) {
      scan.fault = "attribute " + std::string(attribute);
    }
  }
}

// The document's fault, or empty when it is well-formed and holds nothing active.
std::string Fault(const std::string& document) {
  Scan scan;
  XML_Parser parser = XML_ParserCreateNS("UTF-8", '|');
  XML_SetUserData(parser, &scan);
  XML_SetStartElementHandler(parser, OnStart);
  if (XML_Parse(parser, document.data(), static_cast<int>(document.size()), 1) != XML_STATUS_OK) {
    scan.fault = std::string("not well-formed: ") + XML_ErrorString(XML_GetErrorCode(parser));
  }
  XML_ParserFree(parser);
  return scan.fault;
}

}  // namespace

int PreviewDrawing(const uint8_t* data, size_t size) {
  const ScratchDrives& drives = ScratchDrives::Get();
  drives.Install();
  // The first byte picks the scale and the paper; the rest is the file.
  const uint8_t choice = size > 0 ? data[0] : 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0),
                               size > 0 ? size - 1 : 0);
  {
    platform::AtomicFile file(u"C:\\LOG");
    file.Write(bytes);
    file.Commit();
  }
  constexpr int kScales[] = {100, 50, 200, 500};
  drawing::LayoutOptions options;
  options.scale = kScales[choice % 4];
  options.paper = static_cast<drawing::Paper>((choice / 4) % 3);

  drawing::Drawing drawing;
  try {
    drawing = drawing::LayOutLogAt(u"C:\\LOG", options);
  } catch (const converted::ReadRefusal& refusal) {
    // A refusal says where and why; the whole-file reader refuses the same bytes.
    TJVX_FUZZ_CHECK(!refusal.Message().empty());
    bool refused = false;
    try {
      converted::ReadConvertedBytes(bytes, u"C:\\LOG");
    } catch (const converted::ReadRefusal&) {
      refused = true;
    }
    TJVX_FUZZ_CHECK(refused);
    return 0;
  }
  for (const std::string& document :
       {drawing::WriteSvg(drawing), drawing::WriteHtml(drawing, u"LOG")}) {
    const std::string fault = Fault(document);
    if (!fault.empty()) std::fprintf(stderr, "%s\n", fault.c_str());
    TJVX_FUZZ_CHECK(fault.empty());
  }
  const converted::ConvertedFile file = converted::ReadConvertedBytes(bytes, u"C:\\LOG");
  const drawing::Drawing whole = drawing::LayOutLog(file, options);
  const std::vector<std::string> faults = LogLayoutFaults(file, whole);
  for (const std::string& fault : faults) std::fprintf(stderr, "%s\n", fault.c_str());
  TJVX_FUZZ_CHECK(faults.empty());
  return 0;
}

}  // namespace tjvx::fuzz

TJVX_FUZZ_ENTRY(tjvx::fuzz::PreviewDrawing)
