#pragma once
// A minimal JSON reader for the conformance data: objects, arrays, strings (with \u escapes
// of the Basic Multilingual Plane), numbers, true, false, null. Throws on malformed input.
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace calc::testing {

struct Json {
  using Array = std::vector<Json>;
  using Object = std::map<std::string, Json, std::less<>>;
  std::variant<std::nullptr_t, bool, double, std::string, Array, Object> v;

  bool isNull() const { return std::holds_alternative<std::nullptr_t>(v); }
  const Array& array() const { return std::get<Array>(v); }
  const Object& object() const { return std::get<Object>(v); }
  const std::string& string() const { return std::get<std::string>(v); }
  const Json* find(std::string_view key) const {
    const auto& o = object();
    auto it = o.find(key);
    return it == o.end() ? nullptr : &it->second;
  }
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : s_(text) {}

  Json document() {
    Json j = value();
    skip();
    if (p_ != s_.size()) fail("trailing characters");
    return j;
  }

 private:
  [[noreturn]] void fail(const char* what) const {
    throw std::runtime_error(std::string("JSON: ") + what + " at offset " + std::to_string(p_));
  }
  void skip() {
    while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\n' || s_[p_] == '\r' || s_[p_] == '\t')) ++p_;
  }
  bool consume(std::string_view word) {
    if (s_.substr(p_, word.size()) != word) return false;
    p_ += word.size();
    return true;
  }
  void expect(char c) {
    skip();
    if (p_ >= s_.size() || s_[p_] != c) fail("unexpected character");
    ++p_;
  }

  Json value() {
    skip();
    if (p_ >= s_.size()) fail("unexpected end");
    const char c = s_[p_];
    if (c == '{') return Json{object()};
    if (c == '[') return Json{array()};
    if (c == '"') return Json{string()};
    if (consume("true")) return Json{true};
    if (consume("false")) return Json{false};
    if (consume("null")) return Json{nullptr};
    return Json{number()};
  }

  Json::Object object() {
    Json::Object o;
    ++p_;
    skip();
    if (p_ < s_.size() && s_[p_] == '}') return ++p_, o;
    for (;;) {
      skip();
      std::string key = string();
      expect(':');
      o.emplace(std::move(key), value());
      skip();
      if (p_ < s_.size() && s_[p_] == ',') { ++p_; continue; }
      expect('}');
      return o;
    }
  }

  Json::Array array() {
    Json::Array a;
    ++p_;
    skip();
    if (p_ < s_.size() && s_[p_] == ']') return ++p_, a;
    for (;;) {
      a.push_back(value());
      skip();
      if (p_ < s_.size() && s_[p_] == ',') { ++p_; continue; }
      expect(']');
      return a;
    }
  }

  double number() {
    std::size_t used = 0;
    while (p_ + used < s_.size() && std::string_view("+-0123456789.eE").find(s_[p_ + used]) != std::string_view::npos)
      ++used;
    if (used == 0) fail("expected a value");
    const double d = std::strtod(std::string(s_.substr(p_, used)).c_str(), nullptr);
    p_ += used;
    return d;
  }

  static void appendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }

  std::string string() {
    if (p_ >= s_.size() || s_[p_] != '"') fail("expected a string");
    ++p_;
    std::string out;
    while (p_ < s_.size() && s_[p_] != '"') {
      char c = s_[p_++];
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      if (p_ >= s_.size()) fail("unterminated escape");
      c = s_[p_++];
      switch (c) {
        case 'n': out.push_back('\n'); break;
        case 't': out.push_back('\t'); break;
        case 'r': out.push_back('\r'); break;
        case 'b': out.push_back('\b'); break;
        case 'f': out.push_back('\f'); break;
        case 'u': {
          if (p_ + 4 > s_.size()) fail("short \\u escape");
          appendUtf8(out, static_cast<unsigned>(std::stoul(std::string(s_.substr(p_, 4)), nullptr, 16)));
          p_ += 4;
          break;
        }
        default: out.push_back(c);
      }
    }
    if (p_ >= s_.size()) fail("unterminated string");
    ++p_;
    return out;
  }

  std::string_view s_;
  std::size_t p_ = 0;
};

}  // namespace calc::testing
