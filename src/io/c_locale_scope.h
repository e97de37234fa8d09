#pragma once
// Switches this thread to the "C" locale for its lifetime. libxlsxwriter prints numbers with
// the C library, which follows LC_NUMERIC: under a German locale it would write "0,5" and
// corrupt the file. uselocale() is per thread, so the rest of the program is untouched.
#include <clocale>
#include <locale.h>

namespace io {

class CLocaleScope {
 public:
  CLocaleScope() : cLocale_(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0))) {
    if (cLocale_) previous_ = uselocale(cLocale_);
  }
  ~CLocaleScope() {
    if (!cLocale_) return;
    uselocale(previous_);
    freelocale(cLocale_);
  }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  locale_t cLocale_;
  locale_t previous_ = LC_GLOBAL_LOCALE;
};

}  // namespace io
