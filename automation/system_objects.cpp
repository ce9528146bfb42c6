#include "automation/class_registry.h"
#include "automation/objects/adodb_stream.h"
#include "automation/objects/script_control.h"
#include "automation/objects/xml_http_request.h"

namespace brenvik {

// The identifiers under which the system objects are known. The class
// identifiers are this implementation's own.
void RegisterSystemObjects(ClassRegistry& registry) {
    registry.Register("MSXML2.XMLHTTP", "{5B2E8C1A-7D43-4F0E-9A61-3C8D2E4B7F01}",
                      MakeXmlHttpRequest);
    registry.Register("Microsoft.XMLHTTP", "{5B2E8C1A-7D43-4F0E-9A61-3C8D2E4B7F02}",
                      MakeXmlHttpRequest);
    registry.Register("Adodb.Stream", "{5B2E8C1A-7D43-4F0E-9A61-3C8D2E4B7F03}", MakeAdodbStream);
    registry.Register("MSScriptControl.ScriptControl", "{5B2E8C1A-7D43-4F0E-9A61-3C8D2E4B7F04}",
                      MakeScriptControl);
}

}  // namespace brenvik
