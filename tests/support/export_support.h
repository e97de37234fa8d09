#pragma once
// For the export tests: a German locale (generated into a temporary folder when the system has
// none) and LibreOffice run headless with its own profile and a time limit.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <locale.h>

#include <memory>
#include <optional>

namespace engine_test {

inline constexpr const char* kGermanLocale = "de_DE.UTF-8";

// Whether newlocale() can give a German locale; false when none exists and none can be made (the machine
// then needs the "locales" package, whose localedef builds it).
inline bool germanLocaleAvailable() {
  static bool available = [] {
    if (locale_t probe = newlocale(LC_ALL_MASK, kGermanLocale, static_cast<locale_t>(0))) {
      freelocale(probe);
      return true;
    }
    static QTemporaryDir folder;
    const QString localedef = QStandardPaths::findExecutable("localedef", {"/usr/bin", "/usr/sbin"});
    if (localedef.isEmpty()) return false;
    QProcess::execute(localedef, {"-i", "de_DE", "-f", "UTF-8", folder.filePath(kGermanLocale)});
    qputenv("LOCPATH", QFile::encodeName(folder.path()));  // glibc looks here first
    locale_t probe = newlocale(LC_ALL_MASK, kGermanLocale, static_cast<locale_t>(0));
    if (probe) freelocale(probe);
    return probe != static_cast<locale_t>(0);
  }();
  return available;
}

struct Conversion {
  bool ok = false;
  QString output;  // the converted file
  QString log;
};

// soffice --headless --convert-to <filter>, with a private profile, optionally under a locale.
inline Conversion convertWithLibreOffice(const QString& file, const QString& filter, const QString& outDir,
                                         const QString& locale = {}) {
  Conversion result;
  const QString soffice = QStandardPaths::findExecutable("soffice");
  if (soffice.isEmpty()) {
    result.log = "soffice not found";
    return result;
  }
  QTemporaryDir profile;
  QProcess process;
  auto environment = QProcessEnvironment::systemEnvironment();
  if (!locale.isEmpty()) {
    environment.insert("LC_ALL", locale);
    environment.insert("LANG", locale);
  }
  process.setProcessEnvironment(environment);
  process.start(soffice, {"-env:UserInstallation=file://" + profile.path(), "--headless", "--norestore",
                          "--convert-to", filter, "--outdir", outDir, file});
  const bool finished = process.waitForFinished(180000);
  if (!finished) process.kill();
  result.log = process.readAllStandardOutput() + process.readAllStandardError();
  const QString extension = filter.section(':', 0, 0);
  result.output = QDir(outDir).filePath(QFileInfo(file).completeBaseName() + "." + extension);
  result.ok = finished && process.exitCode() == 0 && QFileInfo::exists(result.output);
  return result;
}

inline int pdfPageCount(const QString& pdf) {
  QFile file(pdf);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray bytes = file.readAll();
  int pages = 0;
  for (qsizetype at = bytes.indexOf("/Type"); at >= 0; at = bytes.indexOf("/Type", at + 1)) {
    qsizetype p = at + 5;
    while (p < bytes.size() && (bytes[p] == ' ' || bytes[p] == '\n' || bytes[p] == '\r')) ++p;
    if (bytes.mid(p, 5) == "/Page" && (p + 5 >= bytes.size() || bytes[p + 5] != 's')) ++pages;
  }
  return pages;
}

}  // namespace engine_test
