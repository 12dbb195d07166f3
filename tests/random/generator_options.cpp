#include "random/generator_options.h"

#include <array>
#include <utility>

namespace vorax::randprog {
namespace {

constexpr std::array<std::pair<Feature, const char*>, static_cast<size_t>(Feature::kCount)>
    kFeatureNames{{
        {Feature::Byte, "byte"},
        {Feature::Word, "word"},
        {Feature::LongInt, "longint"},
        {Feature::Char, "char"},
        {Feature::Enums, "enums"},
        {Feature::Subranges, "subranges"},
        {Feature::Strings, "strings"},
        {Feature::Records, "records"},
        {Feature::Arrays, "arrays"},
        {Feature::Arrays2D, "arrays-2d"},
        {Feature::Pointers, "pointers"},
        {Feature::Functions, "functions"},
        {Feature::VarParams, "var-params"},
        {Feature::NestedRoutines, "nested-routines"},
        {Feature::If, "if"},
        {Feature::While, "while"},
        {Feature::Repeat, "repeat"},
        {Feature::For, "for"},
        {Feature::Case, "case"},
        {Feature::With, "with"},
        {Feature::NestedWith, "nested-with"},
        {Feature::StringProcedures, "string-procedures"},
        {Feature::Output, "output"},
        {Feature::Sets, "sets"},
        {Feature::Shifts, "shifts"},
        {Feature::Bitwise, "bitwise"},
        {Feature::DivMod, "div-mod"},
        {Feature::NotInValue, "not-in-value"},
        {Feature::ForTypeEdges, "for-type-edges"},
        {Feature::WordIntegerCompare, "word-integer-compare"},
        {Feature::SubrangeToLong, "subrange-to-long"},
        {Feature::WideModDivisor, "wide-mod-divisor"},
        {Feature::LongCase, "long-case"},
        {Feature::EnumCast, "enum-cast"},
        {Feature::NegatedBitwise, "negated-bitwise"},
        {Feature::ByteForBounds, "byte-for-bounds"},
        {Feature::ForCallsInBody, "for-calls-in-body"},
        {Feature::WithCalls, "with-calls"},
        {Feature::ToSubrange, "to-subrange"},
        {Feature::SubrangeResult, "subrange-result"},
        {Feature::SubrangeByteOperand, "subrange-byte-operand"},
    }};

}  // namespace

std::string featureName(Feature feature) {
  for (const auto& [entry, name] : kFeatureNames) {
    if (entry == feature) return name;
  }
  return "?";
}

std::vector<Feature> allFeatures() {
  std::vector<Feature> result;
  for (const auto& entry : kFeatureNames) result.push_back(entry.first);
  return result;
}

bool parseFeatureList(const std::string& text, std::set<Feature>& features, std::string& error) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string name = text.substr(start, end - start);
    if (!name.empty()) {
      bool found = false;
      for (const auto& [feature, featureText] : kFeatureNames) {
        if (name == featureText) {
          features.insert(feature);
          found = true;
        }
      }
      if (!found) {
        error = "unknown feature \"" + name + "\"";
        return false;
      }
    }
    start = end + 1;
  }
  return true;
}

std::string featureListText(const std::set<Feature>& features) {
  std::string text;
  for (Feature feature : features) {
    if (!text.empty()) text += ',';
    text += featureName(feature);
  }
  return text;
}

}  // namespace vorax::randprog
