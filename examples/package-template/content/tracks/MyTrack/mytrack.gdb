MyTrack
{
  TrackName = My Track
  Length = 5.000 km
}
