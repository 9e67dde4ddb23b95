Monza1967
{
  TrackName = Monza 1967
  Length = 10.000 km
}
