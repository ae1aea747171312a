// The shape of the catalogues that tools/texts/make_catalogues.py writes
// from po/*.po into the generated catalogues.cpp. Only texts.cpp reads them.
#pragma once

#include <cstddef>

// One translated text: the English text (the singular of a text with a
// count) and its translation, or one translation for each plural form.
struct CatalogueEntry {
  const char* english;
  const char* forms[4];
};

// One language: its entries sorted by their English text (byte order, as
// strcmp compares), and its rule for which plural form a count takes.
struct Catalogue {
  const char* name;  // "de", "pt_BR"
  const CatalogueEntry* entries;
  size_t entryCount;
  int pluralCount;
  unsigned long (*pluralForm)(unsigned long n);
};

extern const Catalogue kCatalogues[];
extern const size_t kCatalogueCount;
