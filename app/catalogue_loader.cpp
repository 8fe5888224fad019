#include "Main.h"

namespace kwirl {

// The catalogue fetch at start-up. Until the HTTP client is wired in, no
// catalogue is loaded and the window shows the built-in library list.
void TFrm::LoadCatalogue() { CatalogueLoaded = false; }

}  // namespace kwirl
