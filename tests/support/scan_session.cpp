#include "support/scan_session.h"

#include "source/real48.h"

namespace vorax::testing {

ScanSession::ScanSession(const SourceTree& tree, const std::string& mainName, bool echo)
    : compilation(std::make_unique<Compilation>(host, CompileOptions{})) {
  compilation->directives.settings().echoSourceSwitch = echo;
  try {
    compilation->reader.openCompilationFiles((tree.root() / mainName).string());
    compilation->scanner.buildReservedWordTable();
  } catch (const tokeninvalid&) {
    // The error is in host.errors.
  }
}

std::string ScanSession::describeToken() const {
  const Scanner& s = compilation->scanner;
  const auto code = static_cast<int>(s.currentToken());
  std::string text = std::to_string(code);
  switch (s.currentToken()) {
    case TokenCode::IntegerConst:
      return text + " " + std::to_string(s.integerValue());
    case TokenCode::CharConst:
      return text + " #" + std::to_string(s.charValue());
    case TokenCode::RealConst:
      return text + " " + real48ToDecimalText(s.realValue());
    case TokenCode::StringConst:
      return text + " '" + s.stringValue() + "'";
    default:
      break;
  }
  if (s.currentToken() == TokenCode::Identifier || code >= kFirstReservedWord) {
    text += " " + s.currentIdentifier();
  }
  return text;
}

std::vector<std::string> ScanSession::scan(int count) {
  std::vector<std::string> tokens;
  if (errorNumber() != 0) {
    tokens.push_back("error " + std::to_string(errorNumber()));
    return tokens;
  }
  try {
    for (int i = 0; i < count; ++i) {
      compilation->scanner.nextToken();
      tokens.push_back(describeToken());
    }
  } catch (const tokeninvalid&) {
    tokens.push_back("error " + std::to_string(errorNumber()));
  }
  return tokens;
}

std::vector<std::string> ScanSession::scanAll() {
  constexpr int kEnoughTokens = 100000;
  return scan(kEnoughTokens);
}

int ScanSession::errorNumber() const { return host.errors.empty() ? 0 : host.errors.back().number; }

std::vector<std::string> tokensOf(const std::string& text) {
  SourceTree tree;
  tree.write("T.PAS", text);
  ScanSession session(tree, "T.PAS");
  return session.scanAll();
}

}  // namespace vorax::testing
