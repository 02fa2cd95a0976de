#include "objects/CBox.h"

CBox::CBox() : CObject(), height(0), depth(0), width(0), image() {}

// The image member releases its texture name and pixels on its own.
CBox::~CBox() {}
