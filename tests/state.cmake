# Test files of the state area.
