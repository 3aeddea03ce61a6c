CREATE PROCEDURE PKZM_INIT_PSY
AS
BEGIN
  /* A dog rations row with 0 for every listed day that has none yet, once per day however
     often the day is listed. */
  INSERT INTO KZM_PSY (DATA, ILOSC)
  SELECT DISTINCT T.DKOD, 0 FROM KZM_TMP T
  WHERE T.DKOD IS NOT NULL
    AND NOT EXISTS (SELECT 1 FROM KZM_PSY P WHERE P.DATA = T.DKOD);
END;
