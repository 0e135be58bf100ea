#include "ParameterModelXmlGenerator.h"

#include "ParameterModel.h"

ParameterModelXmlGenerator::ParameterModelXmlGenerator (const ParameterModel& parameterModelToUse)
    : parameterModel (parameterModelToUse)
{
}

std::string ParameterModelXmlGenerator::generateXml() const
{
    return {};
}
