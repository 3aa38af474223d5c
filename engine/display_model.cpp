#include "engine/display_model.h"

#include <ostream>

namespace waitline {

std::ostream& operator<<(std::ostream& out, const Caption& caption) { return out << caption.text(); }

}  // namespace waitline
