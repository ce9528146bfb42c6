#include "shortening/http_request.h"

namespace brenvik {

std::unique_ptr<AutomationObject> httpRequest;

}  // namespace brenvik
