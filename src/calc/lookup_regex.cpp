#include "lookup_regex.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace calc {
namespace {

// Patterns beyond this many instructions are refused (a "{1000}" repeat of a group copies it).
constexpr std::size_t kMaxInstructions = 20000;
// find() copies the group slots at each group edge a thread passes: patterns whose edges times
// slots pass this are refused there, keeping its work per character near search()'s.
constexpr std::size_t kMaxCaptureWork = 10000;
constexpr int kMaxRepeat = 1000;
// Groups nest no deeper than this, so that parsing and compiling stay shallow on the stack.
constexpr int kMaxDepth = 100;

// Text and patterns are read as Unicode characters, from UTF-8.
// `offsets`, if given, receives each character's byte offset and then the text's size.
std::vector<char32_t> decode(std::string_view s, std::vector<std::size_t>* offsets = nullptr) {
  std::vector<char32_t> out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    if (offsets) offsets->push_back(i);
    const auto lead = static_cast<unsigned char>(s[i]);
    const int n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    char32_t c = n == 1 ? lead : lead & (0x3F >> (n - 1));
    for (int k = 1; k < n && i + k < s.size(); ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back(c);
    i += static_cast<std::size_t>(n);
  }
  if (offsets) offsets->push_back(s.size());
  return out;
}

struct Range {
  char32_t low, high;
};

struct Node {
  enum Kind { Char, Any, Class, Concat, Alternate, Repeat, Group, Begin, End, WordEdge, NotWordEdge } kind;
  explicit Node(Kind k) : kind(k) {}
  char32_t c = 0;
  std::vector<Range> ranges;  // Class
  bool negated = false;
  std::vector<Node> children;
  int min = 0, max = -1;  // Repeat; -1 without bound
  bool lazy = false;      // Repeat: as few as possible first
  int group = 0;          // Group: its number, from 1
};

struct Failure {};

class Parser {
 public:
  explicit Parser(std::vector<char32_t> p) : p_(std::move(p)) {}

  Node run() {
    Node n = alternation();
    if (i_ != p_.size()) throw Failure{};
    return n;
  }

  int groups() const { return groups_; }

 private:
  bool more() const { return i_ < p_.size(); }
  char32_t peek() const { return p_[i_]; }

  Node alternation() {
    Node first = concatenation();
    if (!more() || peek() != '|') return first;
    Node alt{Node::Alternate};
    alt.children.push_back(std::move(first));
    while (more() && peek() == '|') {
      ++i_;
      alt.children.push_back(concatenation());
    }
    return alt;
  }

  Node concatenation() {
    Node seq{Node::Concat};
    while (more() && peek() != '|' && peek() != ')') seq.children.push_back(repetition());
    return seq;
  }

  Node repetition() {
    Node atom = this->atom();
    while (more()) {
      int min = 0, max = -1;
      if (peek() == '*') ++i_;
      else if (peek() == '+') ++i_, min = 1;
      else if (peek() == '?') ++i_, max = 1;
      else if (peek() == '{' && bounds(min, max)) {}
      else break;
      Node r{Node::Repeat};
      if (more() && peek() == '?') ++i_, r.lazy = true;
      r.min = min;
      r.max = max;
      r.children.push_back(std::move(atom));
      atom = std::move(r);
    }
    return atom;
  }

  // "{m}", "{m,}" or "{m,n}"; false (nothing read) when the brace starts no bound.
  bool bounds(int& min, int& max) {
    std::size_t j = i_ + 1;
    const auto number = [&](int& out) {
      const std::size_t start = j;
      out = 0;
      while (j < p_.size() && p_[j] >= '0' && p_[j] <= '9') {
        out = out * 10 + static_cast<int>(p_[j] - '0');
        if (out > kMaxRepeat) throw Failure{};
        ++j;
      }
      return j > start;
    };
    if (!number(min)) return false;
    max = min;
    if (j < p_.size() && p_[j] == ',') {
      ++j;
      if (!number(max)) max = -1;
    }
    if (j >= p_.size() || p_[j] != '}' || (max >= 0 && max < min)) return false;
    i_ = j + 1;
    return true;
  }

  Node atom() {
    const char32_t c = p_[i_++];
    switch (c) {
      case '(': {
        // "(?:...)" groups without capturing; other "(?" forms (look-around...) are not offered.
        const bool capturing = !(more() && peek() == '?');
        if (!capturing) {
          if (i_ + 1 >= p_.size() || p_[i_ + 1] != ':') throw Failure{};
          i_ += 2;
        }
        const int number = capturing ? ++groups_ : 0;
        if (++depth_ > kMaxDepth) throw Failure{};
        Node inner = alternation();
        --depth_;
        if (!more() || peek() != ')') throw Failure{};
        ++i_;
        if (!capturing) return inner;
        Node group{Node::Group};
        group.group = number;
        group.children.push_back(std::move(inner));
        return group;
      }
      case '[': return characterClass();
      case '.': return Node{Node::Any};
      case '^': return Node{Node::Begin};
      case '$': return Node{Node::End};
      case '\\': return escape();
      case '*': case '+': case '?': case ')': throw Failure{};
      default: return literal(c);
    }
  }

  static Node literal(char32_t c) {
    Node n{Node::Char};
    n.c = c;
    return n;
  }

  // A class escape's ranges, or nothing for a plain escaped character.
  static bool classEscape(char32_t e, std::vector<Range>& ranges, bool& negated) {
    negated = e == 'D' || e == 'W' || e == 'S';
    switch (e | 0x20) {
      case 'd': ranges = {{'0', '9'}}; return true;
      case 'w': ranges = {{'0', '9'}, {'A', 'Z'}, {'a', 'z'}, {'_', '_'}}; return true;
      case 's': ranges = {{' ', ' '}, {'\t', '\r'}}; return true;
      default: return false;
    }
  }

  static char32_t plainEscape(char32_t e) {
    if (e == 'n') return '\n';
    if (e == 't') return '\t';
    if (e == 'r') return '\r';
    return e;
  }

  Node escape() {
    if (!more()) throw Failure{};
    const char32_t e = p_[i_++];
    if (e == 'b') return Node{Node::WordEdge};
    if (e == 'B') return Node{Node::NotWordEdge};
    // Back-references cannot be matched in linear time: refused rather than read as digits.
    if (e >= '1' && e <= '9') throw Failure{};
    Node n{Node::Class};
    if (classEscape(e, n.ranges, n.negated)) return n;
    return literal(plainEscape(e));
  }

  Node characterClass() {
    Node n{Node::Class};
    if (more() && peek() == '^') ++i_, n.negated = true;
    bool first = true;
    while (more() && (peek() != ']' || first)) {
      first = false;
      char32_t low = p_[i_++];
      if (low == '\\') {
        if (!more()) throw Failure{};
        std::vector<Range> set;
        bool negatedSet = false;
        const char32_t e = p_[i_++];
        if (classEscape(e, set, negatedSet)) {
          if (negatedSet) throw Failure{};  // "[\D]": not offered
          n.ranges.insert(n.ranges.end(), set.begin(), set.end());
          continue;
        }
        low = plainEscape(e);
      }
      char32_t high = low;
      if (i_ + 1 < p_.size() && peek() == '-' && p_[i_ + 1] != ']') {
        high = p_[i_ + 1];
        i_ += 2;
        if (high < low) throw Failure{};
      }
      n.ranges.push_back({low, high});
    }
    if (!more()) throw Failure{};
    ++i_;  // ']'
    return n;
  }

  std::vector<char32_t> p_;
  std::size_t i_ = 0;
  int depth_ = 0;
  int groups_ = 0;
};

struct Instruction {
  enum Op : std::uint8_t { Char, Any, Class, Split, Jump, Save, Begin, End, WordEdge, NotWordEdge, Match } op;
  Instruction(Op o, std::uint32_t a = 0, std::uint32_t b = 0) : op(o), x(a), y(b) {}
  // Char: the character; Class: index; Split: both targets, x first; Jump: x; Save: the slot
  std::uint32_t x, y;
};

bool isWordCharacter(char32_t c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// Simple case folding: ASCII, Latin-1, Greek and Cyrillic letters.
char32_t folded(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if ((c >= 0x391 && c <= 0x3A9 && c != 0x3A2)) return c + 0x20;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

// The upper case of a letter folded() lowers.
char32_t raised(char32_t c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
  if ((c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)) return c - 0x20;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  return c;
}

}  // namespace

struct Regex::Program {
  std::vector<Instruction> code;
  std::vector<Node> classes;
  int groups = 0;
  bool ignoreCase = false;

  void emit(const Node& n) {
    if (code.size() > kMaxInstructions) throw Failure{};
    switch (n.kind) {
      case Node::Char: code.push_back({Instruction::Char, static_cast<std::uint32_t>(n.c)}); break;
      case Node::Any: code.push_back({Instruction::Any}); break;
      case Node::Begin: code.push_back({Instruction::Begin}); break;
      case Node::End: code.push_back({Instruction::End}); break;
      case Node::WordEdge: code.push_back({Instruction::WordEdge}); break;
      case Node::NotWordEdge: code.push_back({Instruction::NotWordEdge}); break;
      case Node::Group:
        code.push_back({Instruction::Save, static_cast<std::uint32_t>(2 * n.group)});
        emit(n.children.front());
        code.push_back({Instruction::Save, static_cast<std::uint32_t>(2 * n.group + 1)});
        break;
      case Node::Class:
        classes.push_back(n);
        code.push_back({Instruction::Class, static_cast<std::uint32_t>(classes.size() - 1)});
        break;
      case Node::Concat:
        for (const Node& child : n.children) emit(child);
        break;
      case Node::Alternate: alternate(n.children, 0); break;
      case Node::Repeat: repeat(n); break;
    }
  }

  std::uint32_t here() const { return static_cast<std::uint32_t>(code.size()); }

  void alternate(const std::vector<Node>& options, std::size_t from) {
    if (from + 1 == options.size()) return emit(options[from]);
    const std::uint32_t split = here();
    code.push_back({Instruction::Split, split + 1, 0});
    emit(options[from]);
    const std::uint32_t jump = here();
    code.push_back({Instruction::Jump});
    code[split].y = here();
    alternate(options, from + 1);
    code[jump].x = here();
  }

  void repeat(const Node& n) {
    const Node& body = n.children.front();
    for (int k = 0; k < n.min; ++k) emit(body);
    if (n.max < 0) {  // then any number more
      const std::uint32_t split = here();
      code.push_back({Instruction::Split, split + 1, 0});
      emit(body);
      code.push_back({Instruction::Jump, split});
      code[split].y = here();
      if (n.lazy) std::swap(code[split].x, code[split].y);
      return;
    }
    std::vector<std::uint32_t> splits;  // up to max - min more, each optional
    for (int k = n.min; k < n.max; ++k) {
      splits.push_back(here());
      code.push_back({Instruction::Split, here() + 1, 0});
      emit(body);
    }
    for (std::uint32_t s : splits) {
      code[s].y = here();
      if (n.lazy) std::swap(code[s].x, code[s].y);
    }
  }

  bool inClass(std::uint32_t index, char32_t c) const {
    const Node& n = classes[index];
    bool in = false;
    for (const Range& r : n.ranges) in = in || (c >= r.low && c <= r.high);
    if (ignoreCase && !in) {
      const char32_t other = folded(c) != c ? folded(c) : raised(c);
      for (const Range& r : n.ranges) in = in || (other >= r.low && other <= r.high);
    }
    return in != n.negated;
  }

  bool steps(const Instruction& in, char32_t c) const {
    switch (in.op) {
      case Instruction::Char: return in.x == c || (ignoreCase && folded(in.x) == folded(c));
      case Instruction::Any: return c != '\n';
      case Instruction::Class: return inClass(in.x, c);
      default: return false;
    }
  }
};

Regex::Regex(std::string_view pattern, bool ignoreCase) {
  // "(?i)" in front asks for case to be ignored, as Perl-style engines read it.
  if (pattern.starts_with("(?i)")) {
    pattern.remove_prefix(4);
    ignoreCase = true;
  }
  try {
    auto program = std::make_unique<Program>();
    program->ignoreCase = ignoreCase;
    Parser parser(decode(pattern));
    program->emit(parser.run());
    program->groups = parser.groups();
    program->code.push_back({Instruction::Match});
    program_ = std::move(program);
  } catch (const Failure&) {
    program_.reset();
  }
}

Regex::~Regex() = default;
Regex::Regex(Regex&&) noexcept = default;
Regex& Regex::operator=(Regex&&) noexcept = default;

namespace {

bool atWordEdge(const std::vector<char32_t>& text, std::size_t at) {
  const bool before = at > 0 && isWordCharacter(text[at - 1]);
  const bool after = at < text.size() && isWordCharacter(text[at]);
  return before != after;
}

}  // namespace

int Regex::groups() const { return program_ ? program_->groups : 0; }

bool Regex::capturable() const {
  if (!program_) return false;
  const auto saves = static_cast<std::size_t>(
      std::count_if(program_->code.begin(), program_->code.end(),
                    [](const Instruction& in) { return in.op == Instruction::Save; }));
  return saves * 2 * static_cast<std::size_t>(program_->groups + 1) <= kMaxCaptureWork;
}

// A Pike machine: every thread advances one character at a time, so the work is bounded by
// text length times program length.
bool Regex::search(std::string_view textUtf8) const {
  if (!program_) return false;
  const std::vector<char32_t> text = decode(textUtf8);
  const std::vector<Instruction>& code = program_->code;
  std::vector<std::uint32_t> current, next, stack;
  std::vector<std::size_t> seen(code.size(), static_cast<std::size_t>(-1));
  // Adds a thread at `pc` with everything reachable from it without reading a character.
  const auto add = [&](std::vector<std::uint32_t>& list, std::uint32_t start, std::size_t at) {
    stack.assign(1, start);
    while (!stack.empty()) {
      const std::uint32_t pc = stack.back();
      stack.pop_back();
      if (seen[pc] == at) continue;
      seen[pc] = at;
      const Instruction& in = code[pc];
      if (in.op == Instruction::Jump) stack.push_back(in.x);
      else if (in.op == Instruction::Split) stack.push_back(in.y), stack.push_back(in.x);
      else if (in.op == Instruction::Begin) { if (at == 0) stack.push_back(pc + 1); }
      else if (in.op == Instruction::End) { if (at == text.size()) stack.push_back(pc + 1); }
      else if (in.op == Instruction::Save) stack.push_back(pc + 1);
      else if (in.op == Instruction::WordEdge || in.op == Instruction::NotWordEdge) {
        if (atWordEdge(text, at) == (in.op == Instruction::WordEdge)) stack.push_back(pc + 1);
      } else list.push_back(pc);
    }
  };
  for (std::size_t at = 0;; ++at) {
    add(current, 0, at);  // a match may start anywhere
    for (std::uint32_t pc : current)
      if (code[pc].op == Instruction::Match) return true;
    if (at == text.size()) return false;
    next.clear();
    const char32_t c = text[at];
    for (std::uint32_t pc : current) {
      const Instruction& in = code[pc];
      if (program_->steps(in, c)) add(next, pc + 1, at + 1);
    }
    std::swap(current, next);
  }
}

// The same machine with priorities and capture slots: threads are kept in the order a
// backtracking matcher would try them, so the match found is the one Perl-style engines give.
std::optional<RegexMatch> Regex::find(std::string_view textUtf8, std::size_t from) const {
  if (!capturable()) return std::nullopt;
  std::vector<std::size_t> offsets;  // byte offset of each character, and of the end
  const std::vector<char32_t> text = decode(textUtf8, &offsets);
  const std::vector<Instruction>& code = program_->code;
  const std::size_t slots = 2 * static_cast<std::size_t>(program_->groups + 1);
  constexpr std::size_t kUnset = static_cast<std::size_t>(-1);
  // Threads share their slots until a Save writes one, so a split copies nothing.
  using Slots = std::shared_ptr<const std::vector<std::size_t>>;
  struct Thread {
    std::uint32_t pc;
    Slots saved;
  };
  std::vector<Thread> current, next, stack;
  std::vector<std::size_t> seen(code.size(), kUnset);
  std::optional<std::vector<std::size_t>> best;
  const auto add = [&](std::vector<Thread>& list, Thread start, std::size_t at) {
    stack.assign(1, std::move(start));
    while (!stack.empty()) {
      Thread t = std::move(stack.back());
      stack.pop_back();
      if (seen[t.pc] == at) continue;
      seen[t.pc] = at;
      const Instruction& in = code[t.pc];
      bool pass = false;
      switch (in.op) {
        case Instruction::Jump: t.pc = in.x; stack.push_back(std::move(t)); continue;
        case Instruction::Split: {
          Thread second{in.y, t.saved};
          stack.push_back(std::move(second));
          t.pc = in.x;
          stack.push_back(std::move(t));
          continue;
        }
        case Instruction::Save: {
          auto written = std::make_shared<std::vector<std::size_t>>(*t.saved);
          (*written)[in.x] = at;
          t.saved = std::move(written);
          pass = true;
          break;
        }
        case Instruction::Begin: pass = at == 0; break;
        case Instruction::End: pass = at == text.size(); break;
        case Instruction::WordEdge: pass = atWordEdge(text, at); break;
        case Instruction::NotWordEdge: pass = !atWordEdge(text, at); break;
        default: list.push_back(std::move(t)); continue;
      }
      if (pass) {
        ++t.pc;
        stack.push_back(std::move(t));
      }
    }
  };
  std::size_t start = 0;
  while (start < offsets.size() - 1 && offsets[start] < from) ++start;
  for (std::size_t at = start;; ++at) {
    if (!best) {
      auto slotsAt = std::make_shared<std::vector<std::size_t>>(slots, kUnset);
      (*slotsAt)[0] = at;
      add(current, Thread{0, std::move(slotsAt)}, at);
    }
    if (current.empty()) {
      if (best || at >= text.size()) break;
      continue;
    }
    next.clear();
    for (Thread& t : current) {
      const Instruction& in = code[t.pc];
      if (in.op == Instruction::Match) {
        best = *t.saved;
        (*best)[1] = at;
        break;  // threads after this one have lower priority
      }
      if (at < text.size() && program_->steps(in, text[at])) {
        ++t.pc;
        add(next, std::move(t), at + 1);
      }
    }
    std::swap(current, next);
    if (at >= text.size()) break;
  }
  if (!best) return std::nullopt;
  RegexMatch match;
  for (std::size_t k = 0; k < slots; k += 2) {
    const std::size_t b = (*best)[k], e = (*best)[k + 1];
    if (b == kUnset || e == kUnset) match.groups.push_back({RegexMatch::kNone, RegexMatch::kNone});
    else match.groups.push_back({offsets[b], offsets[e]});
  }
  return match;
}

}  // namespace calc
