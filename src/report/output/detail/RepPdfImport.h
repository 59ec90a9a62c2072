#pragma once
// Takes the pages of a PDF file that Qt's PDF engine wrote into a document
// being written: each page's contents, resources and boxes, with every
// object they reach copied once and renumbered. The pages the direct
// writer leaves to Qt's engine come back into the document this way, in
// their place.
//
// It reads what QPdfWriter writes — a cross-reference table, plain objects
// and streams — and nothing more general: no object streams, no
// cross-reference streams, no encryption, no repair of damaged files. A
// general PDF library would do, but loading one costs a running export more
// memory than all of its pages.

#include <QByteArray>
#include <vector>

class RepPdfDocument;

// Writes page i of pdf as the page object pageIds[i] under the page tree
// node parent. Fails with a std::exception when pdf cannot be read this
// way or has another number of pages.
void ImportPdfPages(RepPdfDocument &document, const QByteArray &pdf, const std::vector<int> &pageIds,
                    int parent);
