# Test files of the pad row area.
