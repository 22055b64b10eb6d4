#pragma once

#include <QString>

// Fills a folder with cards as a busy practice has them after years:
// Russian names, birth dates from 1940 to 2005 and 5 to 50 visits each.
// Returns the number of cards written.
int makeCards(const QString &folder, int count, unsigned seed = 1);
