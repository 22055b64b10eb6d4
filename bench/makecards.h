#pragma once

#include <QString>
#include <QStringList>

// Fills a folder with cards as a busy practice has them after years:
// Russian names, birth dates from 1940 to 2005 and 5 to 50 visits each.
// About two cards in five have a next visit set, from two months before
// the last generated day to six weeks after it, and one in four has body
// composition (fat %, muscle mass, water, visceral fat) at every visit.
// Returns the number of cards written. Without `durable` the files are
// written plainly, without the save's syncing: much faster for a benchmark's
// throw-away folder, the same bytes.
int makeCards(const QString &folder, int count, unsigned seed = 1, bool durable = true);

// Cards at the edges: an empty card, one of 10,000 visits, and names with
// "ё", a hyphen, quotes, ";" and a leading "=" or "-". Returns their names.
QStringList makeEdgeCards(const QString &folder);
