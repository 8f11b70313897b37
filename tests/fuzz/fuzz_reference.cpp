// The reference refresh's readers on any answer: the encyclopedia's info and a
// page of its vehicles, and a published table of expected values. Whatever they
// make of it is a document that parses, and its checks never fail to answer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "acquire/reference_documents.h"
#include "model/reference_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvelo;
  const std::string_view answer(reinterpret_cast<const char*>(data), size);
  ParseEncyclopediaStamp(answer);
  AnswerProblem(answer);
  std::vector<json::Value> pages;
  if (const auto page = ParseVehiclesPage(answer)) pages.push_back(page->vehicles);
  const json::Value kept = json::parse(answer);
  const std::string vehicles = TanksInfoDocument(pages, {"1.0", 1}, kept);
  const json::Value document = json::parse(vehicles);
  if (!document.present()) std::abort();
  VehiclesProblem(document);
  EntryCount(document);
  if (const auto expected = ExpectedValuesDocument(answer, "http://table", json::at(kept, "header.substitutes"))) {
    const json::Value table = json::parse(*expected);
    if (!table.present()) std::abort();
    ExpectedValuesProblem(table);
  }
  return 0;
}
