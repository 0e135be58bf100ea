#include "ParameterModelXmlParser.h"

#include "ParameterModel.h"

ParameterModelXmlParser::ParameterModelXmlParser (const void* dataToUse, int sizeToUse)
    : data (dataToUse),
      size (sizeToUse)
{
}

void ParameterModelXmlParser::populateParameterModel (ParameterModel&) const {}
