// The zip container, read back by Python's zipfile (which checks every CRC): whole entries,
// streamed entries with data descriptors, and the zip64 records.
#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "readers.h"
#include "streaming_zip_reader.h"
#include "xlsx/compression_pool.h"
#include "xlsx/part_stream.h"
#include "xlsx/zip_archive.h"

namespace {

// {"name": "sha256 of the content"} as zipfile reads it, after testzip() found no bad CRC.
QJsonObject readBackWithZipfile(const QString& path) {
  const char* script =
      "import hashlib, json, sys, zipfile\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "assert z.testzip() is None\n"
      "print(json.dumps({i.filename: hashlib.sha256(z.read(i)).hexdigest() for i in z.infolist()}))\n";
  const auto run = xlsx_test::runReader("/usr/bin/python3", {"-c", script, path});
  EXPECT_TRUE(run.ok) << run.output.toStdString();
  return QJsonDocument::fromJson(run.output.toUtf8()).object();
}

QString sha256(const std::string& data) {
  return QCryptographicHash::hash(QByteArray::fromStdString(data), QCryptographicHash::Sha256).toHex();
}

std::string bigXml() {
  std::string xml = "<sheetData>";
  for (int row = 1; row <= 60000; ++row) xml += "<row r=\"" + std::to_string(row) + "\"><c><v>0.1</v></c></row>";
  return xml + "</sheetData>";
}

void writeArchive(const std::string& path, std::uint64_t zip64Limit, const std::string& big) {
  xlsx::CompressionPool pool(2);
  xlsx::ZipArchive zip(path, zip64Limit);
  xlsx::addWholePart(zip, "[Content_Types].xml", "<Types/>");
  {
    xlsx::PartStream part(zip, pool, "xl/worksheets/sheet1.xml", big.size());
    for (std::size_t at = 0; at < big.size(); at += 1000) {  // as the sheet writer feeds it
      part.xml().raw(std::string_view(big).substr(at, 1000));
      part.flushIfFull();
    }
    part.finish();
  }
  {
    xlsx::PartStream empty(zip, pool, "xl/empty.xml", 0);
    empty.finish();
  }
  xlsx::addWholePart(zip, "docProps/app.xml", "<Properties/>");
  zip.finish();
}

TEST(ZipArchive, WholeAndStreamedEntriesReadBackByAnotherReader) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("a.zip").toStdString();
  const std::string big = bigXml();
  ASSERT_GT(big.size(), 3 * xlsx::PartStream::kChunkSize) << "the part spans several chunks";
  writeArchive(path, 0xFFFFFFFFu, big);
  const QJsonObject entries = readBackWithZipfile(QString::fromStdString(path));
  ASSERT_EQ(entries.size(), 4);
  EXPECT_EQ(entries["[Content_Types].xml"].toString(), sha256("<Types/>"));
  EXPECT_EQ(entries["xl/worksheets/sheet1.xml"].toString(), sha256(big));
  EXPECT_EQ(entries["xl/empty.xml"].toString(), sha256(""));
  EXPECT_EQ(entries["docProps/app.xml"].toString(), sha256("<Properties/>"));
}

// The format's limit is 4 GiB; a low limit writes the same zip64 records for small entries.
TEST(ZipArchive, Zip64RecordsReadBackByAnotherReader) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("a64.zip").toStdString();
  const std::string big = bigXml();
  writeArchive(path, 100, big);
  const QJsonObject entries = readBackWithZipfile(QString::fromStdString(path));
  ASSERT_EQ(entries.size(), 4);
  EXPECT_EQ(entries["xl/worksheets/sheet1.xml"].toString(), sha256(big));
  EXPECT_EQ(entries["docProps/app.xml"].toString(), sha256("<Properties/>"));
}

// A reader that goes front to back must learn from the local header that the data descriptor
// holds 8-byte sizes; the low limit makes every entry one that may pass it.
TEST(ZipArchive, StreamedZip64EntriesReadFrontToBack) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("a64.zip").toStdString();
  const std::string big = bigXml();
  writeArchive(path, 100, big);
  const auto entries = xlsx_test::readStreaming(xlsx_test::fileBytes(path));
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[1].content, big);
  EXPECT_EQ(entries[2].content, "");
  for (const auto& e : entries) {
    if (e.zip64Field) {
      EXPECT_EQ(e.versionNeeded, 45) << e.name;
    }
    if (!e.dataDescriptor) continue;
    EXPECT_TRUE(e.zip64Field) << e.name;
    EXPECT_EQ(e.localSize, 0u) << e.name << ": sizes of a streamed entry are zero until its descriptor";
    EXPECT_EQ(e.localCompressed, 0u) << e.name;
  }
}

// Below the limit nothing changes: no zip64 field, version 2.0, 4-byte sizes after the data.
TEST(ZipArchive, EntriesThatCannotPassTheLimitHaveNoZip64Records) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("a.zip").toStdString();
  writeArchive(path, 0xFFFFFFFFu, bigXml());
  const auto entries = xlsx_test::readStreaming(xlsx_test::fileBytes(path));
  ASSERT_EQ(entries.size(), 4u);
  for (const auto& e : entries) {
    EXPECT_FALSE(e.zip64Field) << e.name;
    EXPECT_EQ(e.versionNeeded, 20) << e.name;
  }
  EXPECT_TRUE(entries[1].dataDescriptor);
}

// The entry's bound decides: one that stays below the limit (deflate's growth included) keeps
// the short form, one that may reach it announces zip64.
TEST(ZipArchive, TheSizeBoundDecidesWhetherAStreamedEntryAnnouncesZip64) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("bound.zip").toStdString();
  {
    xlsx::CompressionPool pool(1);
    xlsx::ZipArchive zip(path, 100000);
    for (std::uint64_t bound : {std::uint64_t{1000}, std::uint64_t{99000}, std::uint64_t{100000}}) {
      xlsx::PartStream part(zip, pool, "part" + std::to_string(bound), bound);
      part.xml().raw("<a>small</a>");
      part.finish();
    }
    zip.finish();
  }
  const auto entries = xlsx_test::readStreaming(xlsx_test::fileBytes(path));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_FALSE(entries[0].zip64Field);
  EXPECT_TRUE(entries[1].zip64Field) << "99000 bytes may deflate to more than 99000";
  EXPECT_TRUE(entries[2].zip64Field);
  EXPECT_EQ(readBackWithZipfile(QString::fromStdString(path)).size(), 3);
}

TEST(ZipArchive, AFolderThatIsNotThereIsAClearError) {
  QTemporaryDir dir;
  try {
    xlsx::ZipArchive zip(dir.filePath("missing/a.zip").toStdString());
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("could not be created"), std::string::npos) << error.what();
  }
}

TEST(ZipArchive, AFullDiskIsAClearErrorNotAShortFile) {
  if (!QFile::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  try {
    writeArchive("/dev/full", 0xFFFFFFFFu, bigXml());
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("could not be written"), std::string::npos) << error.what();
  }
}

}  // namespace
