// `tjvx check`: reads source folders as a conversion would, writes nothing, and reports every
// finding as text (compiler style, UTF-8) or as one JSON document.

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/utf.h"
#include "cli/command_line.h"
#include "cli/wildcards.h"
#include "convert/check_report.h"
#include "convert/run.h"
#include "platform/drives.h"
#include "source/code_table.h"
#include "source/settings.h"
#include "text/path_components.h"

namespace tjvx::cli {
namespace {

// The schema of the JSON report; raised when a field changes its meaning or goes away.
constexpr int kSchemaVersion = 1;

// The messages shown on the way to the pattern folder (the settings file's): without a pattern
// folder they are every folder's findings, in the report like any other.
class KeptMessages : public base::MessageHost {
 public:
  int ShowMessage(std::u16string_view prompt, int, std::u16string_view) override {
    messages.emplace_back(prompt);
    return base::kAnswerOk;
  }
  std::vector<std::u16string> messages;
};

const char* SeverityKey(base::Severity severity) {
  switch (severity) {
    case base::Severity::kError:
      return "error";
    case base::Severity::kWarning:
      return "warning";
    case base::Severity::kNotice:
      return "notice";
  }
  return "";
}

// The text report of folder `i` of `count`, given as `given`: under a heading that names it when
// there are several, after a blank line but for the first.
std::string FolderReport(const std::string& given, const convert::CheckResult& result, size_t i,
                         size_t count) {
  std::string text;
  if (count > 1) {
    text += i > 0 ? "\n== " : "== ";
    text += base::ToUtf8(convert::VisibleText(result.folder));
    text += " ==\n";
  }
  text += base::ToUtf8(convert::ReportText(base::FromUtf8(given), result));
  return text;
}

void PrintJson(const std::vector<std::string>& given,
               const std::vector<convert::CheckResult>& results, int status) {
  nlohmann::ordered_json report;
  report["schema"] = "tjvx-check";
  report["schema_version"] = kSchemaVersion;
  report["status"] = status;
  nlohmann::ordered_json folders = nlohmann::ordered_json::array();
  for (size_t i = 0; i < results.size(); ++i) {
    const convert::CheckResult& result = results[i];
    nlohmann::ordered_json folder;
    folder["given"] = given[i];
    folder["folder"] = base::ToUtf8(result.folder);
    folder["status"] = result.Status();
    folder["counts"] = {{"error", result.Count(base::Severity::kError)},
                        {"warning", result.Count(base::Severity::kWarning)},
                        {"notice", result.Count(base::Severity::kNotice)},
                        {"plausibility", result.Plausibility()}};
    if (result.stop) {
      folder["conversion_stops_at"] = {{"finding", *result.stop},
                                       {"message", base::ToUtf8(result.stop_message)}};
    } else {
      folder["conversion_stops_at"] = nullptr;
    }
    nlohmann::ordered_json findings = nlohmann::ordered_json::array();
    for (const base::Finding& finding : result.findings) {
      nlohmann::ordered_json item;
      item["file"] = base::ToUtf8(convert::FindingFileName(finding));
      item["path"] = base::ToUtf8(finding.file);
      item["line"] = finding.line > 0 ? nlohmann::ordered_json(finding.line) : nullptr;
      item["field"] = finding.field > 0 ? nlohmann::ordered_json(finding.field) : nullptr;
      item["severity"] = SeverityKey(finding.severity);
      item["record"] = finding.record.empty()
                           ? nlohmann::ordered_json(nullptr)
                           : nlohmann::ordered_json(base::ToUtf8(finding.record));
      item["message"] = base::ToUtf8(finding.message);
      item["lines"] = finding.lines.empty() ? nlohmann::ordered_json(nullptr)
                                            : nlohmann::ordered_json(finding.lines);
      const source::Rule* rule = convert::RuleOf(finding);
      item["rule"] = std::string(finding.rule);
      item["plausibility"] = rule != nullptr && rule->plausibility;
      item["depth"] = finding.depth.empty() ? nlohmann::ordered_json(nullptr)
                                            : nlohmann::ordered_json(base::ToUtf8(finding.depth));
      item["fix"] = base::ToUtf8(convert::FixOf(finding));
      findings.push_back(std::move(item));
    }
    folder["findings"] = std::move(findings);
    folders.push_back(std::move(folder));
  }
  report["folders"] = std::move(folders);
  // Names that are not UTF-8 were carried as lone surrogates and come out as U+FFFD here.
  std::cout << report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

// Writes the text reports of a batch in the folders' order, each as soon as it and those before
// it are made, so the reports of thousands of folders are not all held until the last is checked.
class ReportsInOrder {
 public:
  explicit ReportsInOrder(size_t count) : reports_(count), made_(count, false) {}

  void Made(size_t i, std::string report) {
    const std::lock_guard<std::mutex> lock(mutex_);
    reports_[i] = std::move(report);
    made_[i] = true;
    for (; next_ < reports_.size() && made_[next_]; ++next_) {
      std::cout << reports_[next_];
      std::string().swap(reports_[next_]);
    }
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> reports_;
  std::vector<bool> made_;
  size_t next_ = 0;
};

// The result of a pattern that matched nothing: one error, at which a conversion stops too.
convert::CheckResult PatternRefusal(std::u16string folder, const std::u16string& message) {
  convert::CheckResult result;
  result.folder = std::move(folder);
  const source::Rule& rule = source::rules::kSourceFolder;
  result.findings.push_back({rule.severity, result.folder, 0, 0, {}, message, {}, rule.id});
  result.stop = 0;
  result.stop_message = message;
  return result;
}

}  // namespace

std::optional<std::u16string> PatternFolder(const std::string& pattern, base::MessageHost& host) {
  if (pattern.empty()) return source::StartupPatternFolder(host);
  std::u16string folder = WindowsForm(pattern);
  if (folder.back() != u'\\') folder += u'\\';
  return folder;
}

int Check(const CheckOptions& options) {
  KeptMessages settings;
  const std::optional<std::u16string> pattern_folder = PatternFolder(options.pattern, settings);
  // One set of tables for the whole batch, as a batch of conversions reads them.
  std::optional<source::PatternTables> tables;
  if (pattern_folder) tables.emplace(*pattern_folder);
  // Each pattern stands for its folders; one that matches nothing is reported as an error of its
  // own, as a missing folder is.
  const std::vector<ExpandedArgument> expanded = ExpandWildcards(options.sources, Wanted::kFolders);
  std::vector<std::string> sources;
  for (const ExpandedArgument& source : expanded) sources.push_back(source.path);
  // A text report keeps of each folder only its status once its report is made: the findings of
  // a batch of thousands of folders would otherwise all be held until the end. The JSON report
  // is written as one document, from every result.
  const bool text = options.format != "json";
  std::vector<convert::CheckResult> results(text ? 0 : sources.size());
  std::vector<int> statuses(sources.size(), 0);
  ReportsInOrder reports(text ? sources.size() : 0);
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < sources.size(); i = next++) {
      const std::u16string folder = WindowsForm(sources[i]);
      convert::CheckResult result;
      if (expanded[i].refusal) {
        result = PatternRefusal(folder, *expanded[i].refusal);
      } else {
        result = tables ? convert::CheckSourceFolder(folder, *tables)
                        : convert::CheckWithoutPatternFolder(folder, settings.messages);
      }
      statuses[i] = result.Status();
      // Each report is made by the thread that checked its folder, so the text of a batch's
      // thousands of findings is made on every processor.
      if (text) {
        reports.Made(i, FolderReport(sources[i], result, i, sources.size()));
      } else {
        results[i] = std::move(result);
      }
    }
  };
  std::vector<std::thread> workers;
  const size_t jobs = std::min<size_t>(std::max(1u, options.jobs), sources.size());
  for (size_t w = 1; w < jobs; ++w) {
    // Without more threads to be had, those there are check every folder.
    try {
      workers.emplace_back(work);
    } catch (const std::system_error&) {
      break;
    }
  }
  work();
  for (std::thread& worker : workers) worker.join();

  const int status = statuses.empty() ? 0 : *std::max_element(statuses.begin(), statuses.end());
  if (!text) {
    PrintJson(sources, results, status);
  } else if (sources.size() > 1) {
    size_t counts[3] = {0, 0, 0};
    for (const int folder_status : statuses) ++counts[folder_status];
    std::cout << "\ntjvx: " << sources.size() << " 件を点検: エラーあり " << counts[2]
              << "、警告あり " << counts[1] << "、問題なし " << counts[0] << '\n';
  }
  std::cout << std::flush;
  return status;
}

}  // namespace tjvx::cli
