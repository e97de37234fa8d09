// The zip container, read back by Python's zipfile (which checks every CRC): whole entries,
// streamed entries with data descriptors, and the zip64 records.
#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

#include "readers.h"
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
    xlsx::PartStream part(zip, pool, "xl/worksheets/sheet1.xml");
    for (std::size_t at = 0; at < big.size(); at += 1000) {  // as the sheet writer feeds it
      part.xml().raw(std::string_view(big).substr(at, 1000));
      part.flushIfFull();
    }
    part.finish();
  }
  {
    xlsx::PartStream empty(zip, pool, "xl/empty.xml");
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
