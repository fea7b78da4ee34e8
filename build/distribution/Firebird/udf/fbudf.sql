Placeholder for fbudf.sql of the sample distribution.
