#pragma once

#include <QStringList>

class RecordSet;
class VectorLayer;

// Quadrangle hot links: an index theme names each quadrangle's scanned image in a field called
// exactly "QUADNAME".
bool hasQuadNameField(const VectorLayer &layer);

// The image files the records name, in record order: the name without its spaces, with ".tif"
// added unless it has an extension of its own. A blank name names nothing.
QStringList quadImageFiles(RecordSet records);
