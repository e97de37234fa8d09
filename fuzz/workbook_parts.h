#pragma once
// Reads the parts of a written .xlsx (a zip) and checks each XML part with a strict parser
// (expat), so that the fuzz target can tell a well-formed workbook from a corrupt one without
// leaving the process.
#include <expat.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace fuzz_support {

struct Part {
  std::string name;
  std::string data;
};

inline std::uint32_t le(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

inline std::optional<std::string> inflateRaw(const std::string& in, std::size_t expected) {
  std::string out(expected, '\0');
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return std::nullopt;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&z, Z_FINISH);
  inflateEnd(&z);
  if (result != Z_STREAM_END || z.total_out != expected) return std::nullopt;
  return out;
}

// Every member of the zip through its central directory; nothing when the zip is broken.
inline std::optional<std::vector<Part>> readParts(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string zip((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (zip.size() < 22) return std::nullopt;
  std::size_t end = zip.size() - 22;
  while (le(zip, end, 4) != 0x06054b50) {
    if (end == 0 || zip.size() - end > 22 + 65535) return std::nullopt;
    --end;
  }
  const std::uint32_t count = le(zip, end + 10, 2);
  std::size_t at = le(zip, end + 16, 4);
  std::vector<Part> parts;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (at + 46 > zip.size() || le(zip, at, 4) != 0x02014b50) return std::nullopt;
    const std::uint32_t method = le(zip, at + 10, 2), packed = le(zip, at + 20, 4), size = le(zip, at + 24, 4);
    const std::uint32_t nameLength = le(zip, at + 28, 2), extra = le(zip, at + 30, 2), comment = le(zip, at + 32, 2);
    const std::uint32_t local = le(zip, at + 42, 4);
    Part part{zip.substr(at + 46, nameLength), {}};
    if (local + 30 > zip.size() || le(zip, local, 4) != 0x04034b50) return std::nullopt;
    const std::size_t data = local + 30 + le(zip, local + 26, 2) + le(zip, local + 28, 2);
    if (data + packed > zip.size()) return std::nullopt;
    const std::string raw = zip.substr(data, packed);
    if (method == 0) part.data = raw;
    else if (auto inflated = inflateRaw(raw, size)) part.data = *inflated;
    else return std::nullopt;
    parts.push_back(std::move(part));
    at += 46 + nameLength + extra + comment;
  }
  return parts;
}

// Empty when the part parses; otherwise expat's complaint.
inline std::string xmlProblem(const std::string& xml) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  const bool ok = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), 1) == XML_STATUS_OK;
  std::string problem = ok ? "" : XML_ErrorString(XML_GetErrorCode(parser));
  if (!ok) problem += " at line " + std::to_string(XML_GetCurrentLineNumber(parser));
  XML_ParserFree(parser);
  return problem;
}

// Empty when every XML part of the workbook is well-formed; otherwise what is wrong and where.
inline std::string workbookProblem(const std::string& path) {
  const auto parts = readParts(path);
  if (!parts) return path + ": not a readable zip";
  for (const Part& part : *parts) {
    if (!part.name.ends_with(".xml") && !part.name.ends_with(".rels")) continue;
    const std::string problem = xmlProblem(part.data);
    if (!problem.empty()) return path + ": " + part.name + ": " + problem;
  }
  return {};
}

}  // namespace fuzz_support
