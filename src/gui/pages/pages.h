#pragma once

class QSize;
class QWidget;

namespace vel {

// Builders for the pages whose controls come from the question and catalogue
// tables. Each fills an empty page (its layout included) and names every
// control after the tables; the page's lower right 32 × 32 pixels stay free
// for the button the window places there.
void buildWeightHistoryPage(QWidget *page);             // "Особенности набора веса"
void buildCorrectionsPage(QWidget *page);               // "Предыдущие коррекции веса"
void buildFoodsPage(QWidget *page);                     // "Продукты и цели"
void buildAnamnesisSection(QWidget *page, int section); // section 1..18 of the anamnesis view
// Gives a built section page a larger type and taller rows while its content
// still fits the room, so short sections are easier to read and to click.
void spreadSectionRows(QWidget *page, const QSize &room);

} // namespace vel
