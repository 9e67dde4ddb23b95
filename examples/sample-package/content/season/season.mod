[SEASON]
Name=Classic Season
