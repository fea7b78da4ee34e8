#include "common/ZT_Common_Types.h"

void TStartXmlObject::clear() { *this = TStartXmlObject(); }
